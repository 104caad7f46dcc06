// SPDX-License-Identifier: GPL-3.0-or-later
#include "server/rate_limit.h"

#include <gtest/gtest.h>

namespace kestrada::server {
namespace {

TEST(RateLimit, AnAddressGetsItsRequestsAMinuteAndTheNextMinuteAfresh) {
    RateLimit limit(5);
    constexpr int64_t kMinute = 60000 * 29'000'000LL;
    for (int i = 0; i < 5; ++i) {
        EXPECT_TRUE(limit.allow("10.0.0.1", kMinute + i)) << i;
    }
    EXPECT_FALSE(limit.allow("10.0.0.1", kMinute + 59999));
    EXPECT_TRUE(limit.allow("10.0.0.2", kMinute + 59999));
    EXPECT_TRUE(limit.allow("10.0.0.1", kMinute + 60000));
    RateLimit unlimited(0);
    for (int i = 0; i < 1000; ++i) {
        ASSERT_TRUE(unlimited.allow("10.0.0.1", kMinute));
    }
}

} // namespace
} // namespace kestrada::server
