// SPDX-License-Identifier: GPL-3.0-or-later
// A played session racing a run: the player's game starts where the run's
// last game did, the ghost is drawn beside it, and the end is said in
// words over a recording that replays on its own.
#include "app/score_text.h"
#include "play/play.h"
#include "scene/ghost_overlay.h"
#include "testing/made_run.h"
#include "testing/test_game.h"
#include "world/downloaded_run.h"

#include <algorithm>
#include <gtest/gtest.h>

namespace kestrada::session {
namespace {

PlaySetup setup(const std::filesystem::path& folder, std::optional<Race> race) {
    return {.folders = {folder, folder},
            .seed = 20,
            .highScoreStore = nullptr,
            .players = std::nullopt,
            .soundCalls = {},
            .checks = steppedRunChecks(),
            .chosenRuns = ChosenRuns::InPlace,
            .replay = std::nullopt,
            .race = std::move(race)};
}

TEST(PlayRace, TheGhostIsDrawnBesideThePlayerAndTheEndSaidOverARunThatReplays) {
    std::string error;
    auto run = readGhostRun(testing::madeRun(11, 2), error);
    ASSERT_TRUE(run) << error;
    const std::string ghostScore = run->score;
    const testing::ScratchDir folder;
    testing::RecordingHost host;
    Play play(host, setup(folder.path(), Race{std::move(*run), "Ada's run"}));
    std::vector<PlayEvent> events;
    play.start([&](PlayEvent event) { events.push_back(event); });
    EXPECT_EQ(play.seed(), 11u);
    play.runSlot(0);
    const scene::Scene shown = play.scene(0);
    EXPECT_TRUE(std::any_of(shown.begin(), shown.end(), [](const scene::Item& item) {
        return item.opacity == scene::kGhostOpacity;
    }));
    // The player brakes to a stop, and once the ghost has crashed drives off
    // the road's left edge.
    play.key(kKeyDown, true, false);
    for (int slot = 0; slot < 3000 && !play.race()->ghostFinished(); ++slot) {
        play.runSlot(0);
    }
    EXPECT_TRUE(play.race()->ghostFinished());
    EXPECT_GT(play.race()->gap(), 0);
    play.key(kKeyDown, false, false);
    play.key(kKeyUp, true, false);
    play.key(kKeyLeft, true, false);
    for (int slot = 0; slot < 3000 && !play.form().GameOver; ++slot) {
        EXPECT_EQ(play.raceWords(), "");
        play.runSlot(0);
    }
    const std::string score = play.form().lblScore().Caption;
    const double behind = leadingNumber(ghostScore) - leadingNumber(score);
    ASSERT_GT(behind, 0);
    EXPECT_EQ(play.raceWords(),
              "Ada's run is ahead by " + numberText(behind) + ": Enter to race again");
    EXPECT_TRUE(verifyRecording(play.recording(), score).verified);

    // Enter keeps the name typed, the next races the run again.
    play.panelKey(HallOfFamePanel::Key::Enter, "", true, false);
    play.key(kKeyEnter, true, false);
    ASSERT_EQ(events.back(), PlayEvent::RaceChosen);
    const auto again = readGhostRun(testing::fileText(play.chosenRun()), error);
    forgetDownloadedRun(play.chosenRun());
    EXPECT_EQ(again->score, ghostScore);
    EXPECT_EQ(play.chosenRace()->name, "Ada's run");
}

// Offline, R on a local row races its run, named after its player.
TEST(PlayRace, RaceChoosesALocalRowsRunWithoutAServer) {
    const testing::ScratchDir folder;
    std::filesystem::create_directories(folder.path() / kRunsFolderName);
    const std::string run = testing::madeRun(11, 2);
    testing::writeFile(folder.path() / kRunsFolderName / "ada.txt", run);
    testing::writeFile(folder.path() / "HallOfFame.txt",
                       "# kestrada hall of fame 1\n" + *replayRecording(run).score +
                           "\tAda\t2026-12-07T11:45:03\tada.txt\n");
    testing::RecordingHost host;
    Play play(host, setup(folder.path(), std::nullopt));
    std::vector<PlayEvent> events;
    play.start([&](PlayEvent event) { events.push_back(event); });
    play.toggleHallOfFame();
    EXPECT_FALSE(play.panelKey(std::nullopt, "r", true, false)); // no row chosen yet
    play.panelKey(HallOfFamePanel::Key::Down, "", true, false);
    EXPECT_TRUE(play.panelKey(std::nullopt, "r", true, false));
    ASSERT_EQ(events.back(), PlayEvent::RaceChosen);
    EXPECT_EQ(play.chosenRace()->name, "Ada's run");
    EXPECT_EQ(play.chosenRace()->run.score, *replayRecording(run).score);
    EXPECT_EQ(play.chosenRun(), folder.path() / kRunsFolderName / "ada.txt");
}

// Today's road races the day's leader: the seed's answer, the road table's
// top row, then its run. Anything missing leaves the road to play alone,
// and the setting off asks for no leader at all.
TEST(PlayRace, TodaysRoadRacesTheDaysLeaderUnlessNoneComesOrTheSettingIsOff) {
    enum class Leader { Found, EmptyTable, NoAnswer, OtherRoad, SettingOff };
    for (const Leader leader : {Leader::Found, Leader::EmptyTable, Leader::NoAnswer,
                                Leader::OtherRoad, Leader::SettingOff}) {
        SCOPED_TRACE(static_cast<int>(leader));
        const testing::ScratchDir folder;
        testing::RecordingHost host;
        Play play(host, setup(folder.path(), std::nullopt));
        std::vector<PlayEvent> events;
        play.start([&](PlayEvent event) { events.push_back(event); });
        play.setWorldServer("http://127.0.0.1:9");
        play.setRaceTodaysLeader(leader != Leader::SettingOff);
        play.askForTodaysRoad();
        const auto answer = [&](const std::string& target, const WorldReply& reply) {
            const auto request = play.world().next(0);
            ASSERT_TRUE(request);
            EXPECT_EQ(request->target, target);
            play.world().answered(*request, reply, 0);
            play.runSlot(0);
        };
        WorldReply road;
        road.status = 200;
        road.fields = {{"seed", "11"}, {"date", "2026-12-08"}};
        answer("/api/road", road);
        if (leader != Leader::SettingOff) {
            EXPECT_EQ(std::count(events.begin(), events.end(), PlayEvent::RoadChosen), 0)
                << "the seed waits for the leader";
            WorldReply board;
            board.status = 200;
            if (leader != Leader::EmptyTable) {
                board.entries = {{{"rank", "1"}, {"score", "90"}, {"name", "Ada"}, {"run", "7"}}};
            }
            answer("/api/boards/road?date=2026-12-08&limit=1", board);
        }
        if (leader == Leader::Found || leader == Leader::NoAnswer || leader == Leader::OtherRoad) {
            WorldReply run;
            run.status = leader == Leader::NoAnswer ? 0 : 200;
            run.text = testing::madeRun(leader == Leader::OtherRoad ? 12 : 11, 1);
            answer("/api/runs/7/recording", run);
        }
        ASSERT_EQ(std::count(events.begin(), events.end(), PlayEvent::RoadChosen), 1);
        EXPECT_EQ(play.roadSeed(), 11u);
        EXPECT_EQ(play.roadDay(), "2026-12-08");
        EXPECT_FALSE(play.world().next(0));
        if (leader != Leader::Found) {
            EXPECT_FALSE(play.roadRace());
            continue;
        }
        ASSERT_TRUE(play.roadRace());
        EXPECT_EQ(play.roadRace()->name, "Ada's run");
        EXPECT_EQ(play.roadRace()->run.score, *replayRecording(testing::madeRun(11, 1)).score);
        std::string error;
        const auto kept = readGhostRun(testing::fileText(play.chosenRun()), error);
        forgetDownloadedRun(play.chosenRun());
        ASSERT_TRUE(kept) << error;
        EXPECT_EQ(kept->score, play.roadRace()->run.score);
    }
}

} // namespace
} // namespace kestrada::session
