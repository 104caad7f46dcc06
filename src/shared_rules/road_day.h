// SPDX-License-Identifier: GPL-3.0-or-later
// Which day a road run belongs to: every day (UTC) has one road, and a run
// of it is taken from that day's midnight until a grace after the next
// one, so a game that crosses midnight, or waits out an outage, counts on
// the road it was played on.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace kestrada::shared_rules {

inline constexpr int kRoadGraceHours = 6;
inline constexpr int64_t kRoadGraceMs = int64_t{kRoadGraceHours} * 60 * 60 * 1000;

// The day "YYYY-MM-DD" (UTC) that holds the moment, in ms since 1970.
std::string utcDayOf(int64_t ms);
// The day's midnight (UTC) in ms since 1970; nothing unless the text is a
// real day written as utcDayOf writes it.
std::optional<int64_t> utcDayStartMs(std::string_view day);

// The first moment a run of the day's road is no longer taken: the next
// midnight plus the grace. Nothing for a text that is not a day.
std::optional<int64_t> roadClosesMs(std::string_view day);
// Whether a run of the day's road is taken at `nowMs`: from the day's
// midnight until it closes.
bool roadRunTaken(std::string_view day, int64_t nowMs);

} // namespace kestrada::shared_rules
