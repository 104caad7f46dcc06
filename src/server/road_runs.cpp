// SPDX-License-Identifier: GPL-3.0-or-later
#include "server/road_runs.h"

#include "server/utc_time.h"
#include "shared_rules/road_day.h"

namespace kestrada::server {

nlohmann::json roadAnswer(const std::string& day, uint32_t seed) {
    const auto closes = shared_rules::roadClosesMs(day);
    return {{"date", day},
            {"seed", seed},
            {"grace_hours", shared_rules::kRoadGraceHours},
            {"closes", closes ? utcTime(*closes) : std::string()}};
}

std::optional<std::string> roadRunRefusal(RunStore& store, const std::string& day, uint32_t seed,
                                          int64_t nowMs) {
    const auto closes = shared_rules::roadClosesMs(day);
    if (!closes) {
        return "road: YYYY-MM-DD";
    }
    if (!shared_rules::roadRunTaken(day, nowMs)) {
        return nowMs < *closes ? "the road of " + day + " has not begun"
                               : "the road of " + day + " closed at " + utcTime(*closes);
    }
    // Only a road someone was given can have runs.
    if (store.roadSeed(day) != seed) {
        return "not a run of the road of " + day;
    }
    return std::nullopt;
}

} // namespace kestrada::server
