// SPDX-License-Identifier: GPL-3.0-or-later
// Today's road as the server gives it out, and the runs it takes for a
// day's road: a run of that day's seed, sent before the road closes.
#pragma once

#include "server/run_store.h"

#include <cstdint>
#include <nlohmann/json.hpp>
#include <optional>
#include <string>

namespace kestrada::server {

// {"date", "seed", "grace_hours", "closes"}: the day's road and the last
// moment a run of it is taken.
nlohmann::json roadAnswer(const std::string& day, uint32_t seed);

// Why a run of `seed` sent for the road of `day` at `nowMs` is not taken;
// nothing when it is.
std::optional<std::string> roadRunRefusal(RunStore& store, const std::string& day, uint32_t seed,
                                          int64_t nowMs);

} // namespace kestrada::server
