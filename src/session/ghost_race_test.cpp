// SPDX-License-Identifier: GPL-3.0-or-later
// A ghost raced beside a player's game: its game plays its run's last game
// exactly, a player copying it stays level, and whatever the player does
// is an ordinary recording that replays to its own score.
#include "app/key_codes.h"
#include "app/score_text.h"
#include "session/ghost_race.h"
#include "session/recording.h"
#include "session/simulation.h"
#include "testing/test_game.h"

#include <gtest/gtest.h>
#include <memory>
#include <sstream>

namespace kestrada::session {
namespace {

InputEvent keyDown(int16_t code) {
    return {.action = InputAction::KeyDown, .keyCode = code};
}

// A session of two games, driven up the road firing, with a swerve now and
// then, recorded as the window records one.
std::string madeRun() {
    HeadlessHost host;
    RecordedBest best("0");
    Game game(host, {.folders = {}, .seed = 11, .highScoreStore = &best});
    game.start();
    SlotRunner runner(game, game.form());
    std::string text = recordingHeader(11, "0") + "\n";
    runner.setRecorder([&](const InputEvent& e) { text += inputLine(e) + "\n"; });
    for (int slot = 1, crashes = 0; crashes < 2 && slot < 20000; ++slot) {
        runner.input(keyDown(kKeyUp));
        runner.input(keyDown(kKeySpace));
        // A short swerve each way now and then, back into the lane.
        const int phase = slot % 50;
        const int16_t swerve = phase < 25 ? kKeyLeft : kKeyRight;
        if (phase % 25 == 10) {
            runner.input(keyDown(swerve));
        } else if (phase % 25 == 14) {
            runner.input({.action = InputAction::KeyUp, .keyCode = swerve});
        }
        const bool over = game.form().GameOver;
        runner.runSlot();
        if (!over && game.form().GameOver && ++crashes == 1) {
            runner.input(keyDown(kKeyEnter));
        }
    }
    return text;
}

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
        auto key = keys.begin();
        while (!race->ghostFinished() || (playerToo && !race->playerFinished())) {
            for (; key != keys.end() && key->slot == runner.slot(); ++key) {
                runner.input(*key);
            }
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
    const auto run = readGhostRun(madeRun(), error);
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

// Copying the ghost's keys keeps level all the way and ties; driving
// otherwise is a run of the player's own, whose lead saved nothing.
TEST(GhostRace, ThePlayersRunReplaysOnItsOwnToItsScoreLevelWhenItCopiesTheGhost) {
    std::string error;
    const auto run = readGhostRun(madeRun(), error);
    ASSERT_TRUE(run) << error;
    NotedStore copierStore;
    Racer copier(*run, copierStore);
    for (const int64_t gap : copier.drive(lastGameKeys(*run))) {
        ASSERT_EQ(gap, 0);
    }
    EXPECT_EQ(copier.race->result()->ahead, RaceResult::Ahead::Level);
    EXPECT_TRUE(verifyRecording(copier.recording, run->score).verified);
    EXPECT_EQ(copierStore.saves, std::vector<std::string>{run->score});

    NotedStore store;
    Racer own(*run, store);
    // Straight on, with a touch of the brake.
    const uint32_t brake = uint32_t(own.runner.slot()) + 30;
    const std::vector<InputEvent> keys = {
        {.slot = brake, .keyCode = kKeyDown},
        {.slot = brake + 8, .action = InputAction::KeyUp, .keyCode = kKeyDown}};
    own.drive(keys);
    const std::string score = own.game.form().lblScore().Caption;
    ASSERT_NE(score, run->score);
    const RecordingReplay replayed = replayRecording(own.recording);
    EXPECT_EQ(replayed.score, score);
    EXPECT_EQ(replayed.games, 2u);
    const RaceResult result = *own.race->result();
    EXPECT_EQ(result.by, std::abs(leadingNumber(score) - leadingNumber(run->score)));
    EXPECT_EQ(result.ahead, leadingNumber(score) > leadingNumber(run->score)
                                ? RaceResult::Ahead::Player
                                : RaceResult::Ahead::Ghost);
    EXPECT_EQ(store.saves, std::vector<std::string>{score});
}

} // namespace
} // namespace kestrada::session
