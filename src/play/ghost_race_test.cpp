// SPDX-License-Identifier: GPL-3.0-or-later
// A ghost raced beside a player's game: its game plays its run's last game
// exactly, a player copying it stays level, and whatever the player does
// is an ordinary recording that replays to its own score.
#include "app/key_codes.h"
#include "app/score_text.h"
#include "play/ghost_race.h"
#include "session/recording.h"
#include "session/simulation.h"
#include "testing/made_run.h"
#include "testing/test_game.h"

#include <gtest/gtest.h>
#include <memory>
#include <sstream>

namespace kestrada::session {
namespace {

// The player's game, brought to the ghost's start and raced beside it.
struct Racer {
    explicit Racer(const GhostRun& run, HighScoreStore& store)
        : best(store), game(host, {.folders = {}, .seed = run.seed, .highScoreStore = &best}),
          runner(game, game.form()) {
        recording = recordingHeader(run.seed, "0") + "\n";
        game.start();
        runner.setRecorder([this](const InputEvent& e) { recording += inputLine(e) + "\n"; });
        leadUp(run, runner, game);
        best.raceOn();
        race = std::make_unique<GhostRace>(run, game.form());
    }
    // Slots with the player's keys until the ghost's game is over, and the
    // player's too unless told not to wait; the gap after each.
    std::vector<int64_t> drive(const std::vector<InputEvent>& keys, bool playerToo = true) {
        std::vector<int64_t> gaps;
        SlotFeed feed(keys);
        while (!race->ghostFinished() || (playerToo && !race->playerFinished())) {
            feed.deliver(runner, game, runner.slot());
            const uint64_t slot = runner.slot();
            runner.runSlot();
            race->runSlot(game.form());
            ghostRecords[slot] = race->lastRecord();
            gaps.push_back(race->gap());
        }
        return gaps;
    }
    HeadlessHost host;
    LeadBest best;
    Game game;
    SlotRunner runner;
    std::string recording;
    std::unique_ptr<GhostRace> race;
    std::map<uint64_t, std::string> ghostRecords;
};

// Remembers what it is asked to save; its best is below the run's.
struct NotedStore : HighScoreStore {
    std::optional<std::string> load() override { return "0"; }
    BestSave save(std::string_view caption) override {
        saves.emplace_back(caption);
        BestSave kept;
        kept.saved = true;
        return kept;
    }
    std::string where() const override { return "memory"; }
    std::vector<std::string> saves;
};

std::vector<InputEvent> lastGameKeys(const GhostRun& run) {
    return {run.events.begin() + std::ptrdiff_t(run.leadEvents), run.events.end()};
}

TEST(GhostRace, AGhostBesideAnotherDriverPlaysItsRunsLastGameRecordForRecord) {
    std::string error;
    const auto run = readGhostRun(testing::madeRun(11, 2), error);
    ASSERT_TRUE(run) << error;
    ASSERT_GT(run->leadEvents, 0u);
    NotedStore store;
    Racer racer(*run, store);
    // The player lets go of Up and stands while the ghost drives on.
    InputEvent letGo{.slot = uint32_t(racer.runner.slot()), .action = InputAction::KeyUp};
    letGo.keyCode = kKeyUp;
    racer.drive({letGo}, false);
    EXPECT_EQ(racer.race->playerDistance(), 0);
    EXPECT_EQ(racer.race->gap(), racer.race->ghostDistance());
    // This run hits nothing: its score is a quarter point a pixel of road.
    EXPECT_NEAR(racer.race->gap(), 4 * leadingNumber(run->score), 4);
    EXPECT_EQ(racer.race->ghostScore(), run->score);

    const testing::ScratchDir dir;
    TraceWriter trace;
    ASSERT_TRUE(trace.open(dir.path() / "trace.jsonl", error)) << error;
    RecordedBest best(run->high);
    Game replay(racer.host, {.folders = {}, .seed = run->seed, .highScoreStore = &best});
    replay.start();
    simulate(replay, run->events, racer.ghostRecords.rbegin()->first, &trace);
    ASSERT_TRUE(trace.close());
    std::istringstream lines(testing::fileText(dir.path() / "trace.jsonl"));
    uint64_t slot = 0;
    int compared = 0;
    for (std::string line; std::getline(lines, line);) {
        if (const auto ghost = racer.ghostRecords.find(++slot); ghost != racer.ghostRecords.end()) {
            EXPECT_EQ(ghost->second, line) << "slot " << slot;
            ++compared;
        }
    }
    EXPECT_EQ(compared, int(racer.ghostRecords.size()));
}

// Copying the ghost's keys keeps level all the way and ties, in a run of
// the player's own whose lead saved nothing.
TEST(GhostRace, APlayerCopyingTheGhostStaysLevelInARunThatReplaysOnItsOwn) {
    std::string error;
    const auto run = readGhostRun(testing::madeRun(11, 2), error);
    ASSERT_TRUE(run) << error;
    NotedStore copierStore;
    Racer copier(*run, copierStore);
    for (const int64_t gap : copier.drive(lastGameKeys(*run))) {
        ASSERT_EQ(gap, 0);
    }
    EXPECT_EQ(raceWords(*copier.race->result(), "Ada's run"),
              "You and Ada's run finished level: Enter to race again");
    EXPECT_TRUE(verifyRecording(copier.recording, run->score).verified);
    EXPECT_EQ(copierStore.saves, std::vector<std::string>{run->score});
}

} // namespace
} // namespace kestrada::session
