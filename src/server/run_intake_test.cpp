// SPDX-License-Identifier: GPL-3.0-or-later
#include "server/run_intake.h"

#include <gtest/gtest.h>

namespace kestrada::server {
namespace {

const std::string kHeader = std::string("# kestrada ") + KESTRADA_VERSION + " seed 42 high \"0\"\n";

TEST(RunIntake, ARunIsRefusedBeforeAnyReplayWhenItCannotBeOne) {
    EXPECT_EQ(checkRunFile(kHeader + "1 down Up\n").status, 0);
    EXPECT_EQ(checkRunFile(kHeader + "1 down Up\n").seed, 42u);
    EXPECT_EQ(checkRunFile("1 down Up\n").status, 400);
    EXPECT_EQ(checkRunFile("# kestrada 0.9 seed 42 high \"0\"\n1 down Up\n").status, 422);
    const RunIntake garbled = checkRunFile(kHeader + "1 down Up\n3 sideways Up\n");
    EXPECT_EQ(garbled.status, 400);
    EXPECT_TRUE(garbled.reason.starts_with("input:3: ")) << garbled.reason;
    EXPECT_EQ(checkRunFile(kHeader + "4000000000 down Up\n").reason, "replay too long");
    EXPECT_EQ(checkRunFile(kHeader + "1000000 down Up\n").status, 0);
    EXPECT_EQ(checkRunFile(kHeader + "1 down Up\n# caf\xc3\xa9\n").status, 400);
    EXPECT_EQ(checkRunFile(kHeader + std::string("1 down Up\n\0", 11)).status, 400);
}

TEST(RunIntake, TheSizeLimitIsOneMebibyte) {
    std::string file = kHeader;
    file.resize(kMaxRunFileBytes, '\n');
    EXPECT_EQ(checkRunFile(file).status, 0);
    file += '\n';
    EXPECT_EQ(checkRunFile(file).status, 413);
}

TEST(RunIntake, AClaimIsAWholeNumberTheGameCouldShow) {
    EXPECT_EQ(parseClaimedScore("0"), 0);
    EXPECT_EQ(parseClaimedScore("538"), 538);
    EXPECT_EQ(parseClaimedScore("999999999999999"), 999999999999999);
    EXPECT_EQ(parseClaimedScore("1000000000000000"), std::nullopt);
    EXPECT_EQ(parseClaimedScore("-1"), std::nullopt);
    EXPECT_EQ(parseClaimedScore("12a"), std::nullopt);
    EXPECT_EQ(parseClaimedScore("0538"), std::nullopt);
    EXPECT_EQ(parseClaimedScore(""), std::nullopt);
}

} // namespace
} // namespace kestrada::server
