// SPDX-License-Identifier: GPL-3.0-or-later
// Times as the shared boards give them: UTC, from milliseconds since 1970.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace kestrada::server {

std::string utcDay(int64_t ms);  // "2026-12-07"
std::string utcTime(int64_t ms); // "2026-12-07T15:45:03Z"
// Whether the text is a real day written as utcDay writes it.
bool isUtcDay(std::string_view text);

} // namespace kestrada::server
