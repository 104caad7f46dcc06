// SPDX-License-Identifier: GPL-3.0-or-later
#include "server/replay_child.h"

#include <gtest/gtest.h>

namespace kestrada::server {
namespace {

const std::string kHeader = std::string("# kestrada ") + KESTRADA_VERSION + " seed 42 high \"0\"\n";

// The helper is the real server program.
ReplayLimits helper() {
    ReplayLimits limits;
    limits.program = KESTRADA_SERVER_PROGRAM;
    return limits;
}

TEST(ReplayChild, TheChildReplaysAsTheSessionDoesAndCountsTheGames) {
    const std::string oneGame = kHeader + "1 down Up\n";
    const ChildReplay child = replayInChild(oneGame, helper());
    ASSERT_EQ(child.end, ChildReplay::End::Replayed);
    EXPECT_EQ(child.replay.score, session::replayRecording(oneGame).score);
    EXPECT_EQ(child.replay.seed, 42u);
    EXPECT_EQ(child.replay.games, 1u);

    // The first game crashes before slot 400; Enter starts a second.
    const ChildReplay twoGames = replayInChild(kHeader + "1 down Up\n400 down Enter\n", helper());
    ASSERT_EQ(twoGames.end, ChildReplay::End::Replayed);
    EXPECT_EQ(twoGames.replay.games, 2u);
}

TEST(ReplayChild, AMillionSlotsFitTheBudgetButNotAMillisecondOfWallTime) {
    const std::string longest = kHeader + "1000000 menu mnuExit\n";
    EXPECT_EQ(replayInChild(longest, helper()).end, ChildReplay::End::Replayed);
    ReplayLimits limits = helper();
    limits.wall = std::chrono::milliseconds(1);
    EXPECT_EQ(replayInChild(longest, limits).end, ChildReplay::End::OverBudget);
}

TEST(ReplayChild, AHelperThatAllocatesWithoutBoundIsStoppedByItsMemoryLimit) {
#if defined(__SANITIZE_ADDRESS__)
    GTEST_SKIP() << "the address sanitizer's build replays without a memory limit";
#endif
    // No run file can make the replay allocate without bound: the helper's self-test does.
    ReplayLimits limits = helper();
    limits.memoryBytes = uint64_t{256} << 20;
    limits.arguments.push_back(kAllocateWithoutBound);
    EXPECT_EQ(replayInChild("", limits).end, ChildReplay::End::OverBudget);
}

} // namespace
} // namespace kestrada::server
