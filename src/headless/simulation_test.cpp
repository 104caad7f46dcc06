#include "headless/simulation.h"
#include "testing/test_game.h"

#include <fstream>
#include <gtest/gtest.h>

namespace kestrada::headless {
namespace {

using kestrada::testing::ScratchDir;

struct ScriptedRun {
    explicit ScriptedRun(const std::string& input) : game(dir.path(), 42) {
        const InputParse parse = parseInput(input);
        EXPECT_TRUE(parse.ok()) << parse.message();
        events = parse.events;
        game.start();
    }
    SimulationResult slots(uint64_t n, TraceWriter* trace = nullptr) {
        return simulate(game, events, n, trace);
    }

    ScratchDir dir;
    HeadlessGame game;
    std::vector<InputEvent> events;
};

using Sounds = std::vector<std::string>;

TEST(Simulation, StartsWithFormLoadWhoseSoundsBelongToNoSlot) {
    ScriptedRun run("");
    EXPECT_TRUE(run.game.form.tmrMain.Enabled);
    EXPECT_TRUE(run.game.soundLog.empty());
    EXPECT_EQ(run.game.sndStart.mode(), kModePlaying) << "the start jingle plays";
    EXPECT_EQ(run.game.sndMusic.path(), (run.dir.path() / "Kestrada.wav").string());
}

TEST(Simulation, DeliversASlotsEventsBeforeItsTick) {
    ScriptedRun run("1 down Up\n");
    const SimulationResult result = run.slots(1);
    EXPECT_EQ(result.slots, 1u);
    EXPECT_EQ(result.ticks, 1u);
    EXPECT_EQ(run.game.form.TickCount, 1);
    EXPECT_EQ(run.game.form.Speed, 1) << "the first tick already saw Up held";
}

TEST(Simulation, PausedSlotsRunNoTick) {
    ScriptedRun run("3 down Esc\n6 down Esc\n");
    const SimulationResult result = run.slots(10);
    EXPECT_EQ(result.slots, 10u);
    EXPECT_EQ(result.ticks, 7u) << "slots 3, 4 and 5 stood still";
    EXPECT_EQ(run.game.form.TickCount, 7);
    EXPECT_FALSE(result.exited);
}

TEST(Simulation, ExitEndsTheRunInsideItsSlot) {
    ScriptedRun run("5 menu mnuExit\n5 down Up\n6 down Up\n");
    const SimulationResult result = run.slots(10);
    EXPECT_TRUE(result.exited);
    EXPECT_EQ(result.slots, 4u);
    EXPECT_EQ(result.ticks, 4u);
    EXPECT_EQ(run.game.form.UpHeld, 0) << "nothing after Exit is delivered";
    EXPECT_EQ(run.game.soundLog, (Sounds{"sndStart.stop", "sndMusic.stop", "sndCrash.stop"}));
}

TEST(Simulation, NeverDeliversEventsPastTheLastSlot) {
    ScriptedRun run("10 down Up\n11 menu mnuExit\n");
    const SimulationResult result = run.slots(10);
    EXPECT_FALSE(result.exited);
    EXPECT_EQ(result.slots, 10u);
    EXPECT_EQ(run.game.form.UpHeld, 1);
}

TEST(Simulation, TheEndOfTheMusicRestartsOnlyAPlayingTrack) {
    // With the jingle switched off the music starts in the first tick.
    ScriptedRun playing("1 menu mnuEffects\n2 music-ended\n");
    playing.slots(1);
    EXPECT_EQ(playing.game.soundLog, (Sounds{"sndStart.stop", "sndCrash.stop", "sndStart.stop",
                                             "sndMusic.stop", "sndMusic.setpos", "sndMusic.play"}));
    playing.slots(2);
    EXPECT_EQ(playing.game.soundLog, (Sounds{"sndMusic.setpos", "sndMusic.play"}));
    EXPECT_EQ(playing.game.sndMusic.mode(), kModePlaying);

    // With the music switched off the head of each tick keeps the player
    // stopped; the end of a track that is not playing must add nothing.
    ScriptedRun silent("1 menu mnuEffects\n1 menu mnuMusic\n2 music-ended\n");
    ScriptedRun same("1 menu mnuEffects\n1 menu mnuMusic\n");
    silent.slots(2);
    same.slots(2);
    EXPECT_EQ(silent.game.soundLog, same.game.soundLog);
    EXPECT_EQ(silent.game.sndMusic.mode(), kModeStopped);
}

TEST(Simulation, HelpAndAboutCloseAtOnceAndLeaveTheGamePaused) {
    ScriptedRun run("2 menu mnuHowToPlay\n4 menu mnuAbout\n");
    const SimulationResult result = run.slots(6);
    EXPECT_EQ(result.ticks, 1u);
    EXPECT_TRUE(run.game.form.lblPaused().Visible);
    EXPECT_EQ(run.game.form.mnuPause.Caption, "Un&pause");
}

TEST(Simulation, TracesEverySlotWithOrWithoutATick) {
    ScriptedRun run("2 down Esc\n");
    const auto file = run.dir.path() / "trace.jsonl";
    TraceWriter trace;
    std::string error;
    ASSERT_TRUE(trace.open(file, error)) << error;
    run.slots(3, &trace);
    ASSERT_TRUE(trace.close());

    std::ifstream in(file);
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);) {
        lines.push_back(line);
    }
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_TRUE(lines[0].starts_with("{\"slot\":1,\"tick\":true,\"TickCount\":1,")) << lines[0];
    EXPECT_TRUE(lines[1].starts_with("{\"slot\":2,\"tick\":false,\"TickCount\":1,")) << lines[1];
    EXPECT_NE(lines[1].find("\"sound\":[\"sndStart.stop\",\"sndMusic.stop\",\"sndCrash.stop\"]"),
              std::string::npos)
        << "the pause silences every player";
    EXPECT_TRUE(lines[2].starts_with("{\"slot\":3,\"tick\":false,")) << lines[2];
}

} // namespace
} // namespace kestrada::headless
