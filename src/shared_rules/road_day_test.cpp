// SPDX-License-Identifier: GPL-3.0-or-later
#include "shared_rules/road_day.h"

#include <gtest/gtest.h>

namespace kestrada::shared_rules {
namespace {

constexpr int64_t kMinuteMs = 60 * 1000;
constexpr int64_t kDec7 = int64_t{1796601600} * 1000; // 2026-12-07T00:00Z
constexpr int64_t kDec8 = kDec7 + 24 * 60 * kMinuteMs;

TEST(RoadDay, DaysAreUtcCalendarDays) {
    EXPECT_EQ(utcDayStartMs("2026-12-07"), kDec7);
    EXPECT_EQ(utcDayOf(kDec8 - 1), "2026-12-07");
    EXPECT_EQ(utcDayOf(kDec8), "2026-12-08");
    EXPECT_EQ(utcDayStartMs("2028-02-29"), int64_t{1835395200} * 1000);
    for (const char* notADay : {"2026-02-29", "2026-13-01", "2026-12-00", "2026-12-7", "2026/12/07",
                                "2026-12-07 ", "+026-12-07"}) {
        EXPECT_EQ(utcDayStartMs(notADay), std::nullopt) << notADay;
        EXPECT_FALSE(roadRunTaken(notADay, kDec7)) << notADay;
    }
}

// A road game is taken through its day and six hours into the next: one
// that crosses midnight, or is sent again after an outage, still counts.
TEST(RoadDay, ARunIsTakenUntilSixHoursAfterItsDay) {
    EXPECT_FALSE(roadRunTaken("2026-12-07", kDec7 - 1));
    EXPECT_TRUE(roadRunTaken("2026-12-07", kDec7));
    EXPECT_TRUE(roadRunTaken("2026-12-07", kDec8 - kMinuteMs)); // 23:59
    EXPECT_TRUE(roadRunTaken("2026-12-07", kDec8 + kMinuteMs)); // 00:01
    EXPECT_TRUE(roadRunTaken("2026-12-07", kDec8 + 6 * 60 * kMinuteMs - 1));
    EXPECT_FALSE(roadRunTaken("2026-12-07", kDec8 + 6 * 60 * kMinuteMs));
    EXPECT_FALSE(roadRunTaken("2026-12-07", kDec8 + 361 * kMinuteMs)); // 06:01
    EXPECT_EQ(roadClosesMs("2026-12-07"), kDec8 + kRoadGraceMs);
    EXPECT_FALSE(roadRunTaken("2026-12-08", kDec8 - kMinuteMs)); // not yet its day
}

} // namespace
} // namespace kestrada::shared_rules
