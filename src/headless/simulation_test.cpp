#include "headless/simulation.h"
#include "testing/test_game.h"

#include <gtest/gtest.h>

namespace kestrada::headless {
namespace {

struct ScriptedRun {
    explicit ScriptedRun(const std::string& input) : game(dir.path(), 42) {
        const InputParse parse = parseInput(input);
        EXPECT_TRUE(parse.ok()) << parse.message();
        events = parse.events;
        game.start();
    }
    SimulationResult slots(uint64_t n) { return simulate(game, events, n, nullptr); }

    kestrada::testing::ScratchDir dir;
    HeadlessGame game;
    std::vector<InputEvent> events;
};

using Sounds = std::vector<std::string>;

TEST(Simulation, DeliversASlotsEventsBeforeItsTickAndNoneBeyondTheLastSlot) {
    ScriptedRun run("10 down Up\n11 menu mnuExit\n");
    const SimulationResult result = run.slots(10);
    EXPECT_FALSE(result.exited);
    EXPECT_EQ(result.slots, 10u);
    EXPECT_EQ(result.ticks, 10u);
    EXPECT_EQ(run.game.form.Speed, 1) << "the tenth tick already saw Up held";
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

    // With the music switched off the end of a track that is not playing
    // must add nothing.
    ScriptedRun silent("1 menu mnuEffects\n1 menu mnuMusic\n2 music-ended\n");
    ScriptedRun same("1 menu mnuEffects\n1 menu mnuMusic\n");
    silent.slots(2);
    same.slots(2);
    EXPECT_EQ(silent.game.soundLog, same.game.soundLog);
    EXPECT_EQ(silent.game.sndMusic.mode(), kModeStopped);
}

} // namespace
} // namespace kestrada::headless
