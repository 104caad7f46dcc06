// SPDX-License-Identifier: GPL-3.0-or-later
#include "server/replay_child.h"

#include <gtest/gtest.h>

namespace kestrada::server {
namespace {

const std::string kHeader = std::string("# kestrada ") + KESTRADA_VERSION + " seed 42 high \"0\"\n";

TEST(ReplayChild, TheChildReplaysAsTheSessionDoesAndCountsTheGames) {
    const std::string oneGame = kHeader + "1 down Up\n";
    const ChildReplay child = replayInChild(oneGame, {});
    ASSERT_EQ(child.end, ChildReplay::End::Replayed);
    EXPECT_EQ(child.replay.score, session::replayRecording(oneGame).score);
    EXPECT_EQ(child.replay.seed, 42u);
    EXPECT_EQ(child.replay.games, 1u);

    // The first game crashes before slot 400; Enter starts a second.
    const ChildReplay twoGames = replayInChild(kHeader + "1 down Up\n400 down Enter\n", {});
    ASSERT_EQ(twoGames.end, ChildReplay::End::Replayed);
    EXPECT_EQ(twoGames.replay.games, 2u);
}

TEST(ReplayChild, AChildPastItsWallTimeIsStopped) {
    // A million slots take the rules a tenth of a second, a hundred times the budget.
    ReplayLimits limits;
    limits.wall = std::chrono::milliseconds(1);
    EXPECT_EQ(replayInChild(kHeader + "1000000 menu mnuExit\n", limits).end,
              ChildReplay::End::OverBudget);
}

} // namespace
} // namespace kestrada::server
