// SPDX-License-Identifier: GPL-3.0-or-later
// A played session racing a run: the player's game starts where the run's
// last game did, the ghost is drawn beside it, and the end is said in
// words over a recording that replays on its own.
#include "app/score_text.h"
#include "scene/ghost_overlay.h"
#include "session/play.h"
#include "testing/made_run.h"
#include "testing/test_game.h"

#include <gtest/gtest.h>

namespace kestrada::session {
namespace {

TEST(PlayRace, TheGhostIsDrawnBesideThePlayerAndTheEndSaidOverARunThatReplays) {
    std::string error;
    auto run = readGhostRun(testing::madeRun(11, 2), error);
    ASSERT_TRUE(run) << error;
    const std::string ghostScore = run->score;
    const testing::ScratchDir folder;
    testing::RecordingHost host;
    Play play(host, PlaySetup{.folders = {folder.path(), folder.path()},
                              .seed = 20,
                              .highScoreStore = nullptr,
                              .players = std::nullopt,
                              .soundCalls = {},
                              .checks = steppedRunChecks(),
                              .chosenRuns = ChosenRuns::InPlace,
                              .replay = std::nullopt,
                              .race = Race{std::move(*run), "Ada's run"}});
    play.start({});
    EXPECT_EQ(play.seed(), 11u);
    play.runSlot(0);
    const scene::Scene shown = play.scene(0);
    EXPECT_TRUE(std::any_of(shown.begin(), shown.end(), [](const scene::Item& item) {
        return item.opacity == scene::kGhostOpacity;
    }));
    // The player brakes to a stop and leaves when the ghost has crashed.
    play.key(kKeyDown, true, false);
    for (int slot = 0; slot < 3000 && !play.race()->ghostFinished(); ++slot) {
        play.runSlot(0);
    }
    EXPECT_TRUE(play.race()->ghostFinished());
    EXPECT_GT(play.race()->gap(), 0);
    EXPECT_EQ(play.raceWords(), "");
    play.menu(MenuCommand::mnuExit);
    const std::string score = play.form().lblScore().Caption;
    const double behind = leadingNumber(ghostScore) - leadingNumber(score);
    ASSERT_GT(behind, 0);
    EXPECT_EQ(play.raceWords(), "Ada's run is ahead by " + numberText(behind));
    EXPECT_TRUE(verifyRecording(play.recording(), score).verified);
}

} // namespace
} // namespace kestrada::session
