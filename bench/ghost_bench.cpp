// SPDX-License-Identifier: GPL-3.0-or-later
// What a ghost adds to a slot. The player's game copies a recorded run's
// keys slot by slot, alone and with that run's ghost racing beside it; both
// play the same long game, so the difference is the ghost's whole cost: its
// events, its tick and both roads followed.
#include "app/key_codes.h"
#include "session/ghost_race.h"
#include "session/recording.h"

#include <benchmark/benchmark.h>
#include <memory>
#include <stdexcept>
#include <string>

namespace {

using namespace kestrada;
using namespace kestrada::session;

InputEvent key(InputAction action, int16_t code) {
    return {.action = action, .keyCode = code};
}

// One game up the road at speed, weaving and firing, recorded.
const GhostRun& recordedRun() {
    static const GhostRun run = [] {
        HeadlessHost host;
        RecordedBest best("0");
        Game game(host, {.folders = {}, .seed = 5, .highScoreStore = &best});
        game.start();
        SlotRunner runner(game, game.form());
        std::string text = recordingHeader(5, "0") + "\n";
        runner.setRecorder([&](const InputEvent& e) { text += inputLine(e) + "\n"; });
        runner.input(key(InputAction::KeyDown, kKeyUp));
        for (int slot = 1; !game.form().GameOver && slot < 100000; ++slot) {
            runner.input(key(InputAction::KeyDown, kKeySpace));
            if (slot % 30 == 0) {
                const bool left = (slot / 30) % 2 == 1;
                runner.input(key(InputAction::KeyUp, left ? kKeyRight : kKeyLeft));
                runner.input(key(InputAction::KeyDown, left ? kKeyLeft : kKeyRight));
            }
            runner.runSlot();
        }
        std::string error;
        auto read = readGhostRun(text, error);
        if (!read) {
            throw std::runtime_error("the recorded run does not replay: " + error);
        }
        return *read;
    }();
    return run;
}

// The player's game copying the run, with or without its ghost.
struct Player {
    explicit Player(bool ghost)
        : best("0"),
          game(host, {.folders = {}, .seed = recordedRun().seed, .highScoreStore = &best}),
          runner(game, game.form()) {
        game.start();
        if (ghost) {
            race = std::make_unique<GhostRace>(recordedRun(), game.form());
        }
    }
    // One slot; false once the game is over.
    bool slot() {
        const auto& events = recordedRun().events;
        for (; next < events.size() && events[next].slot == runner.slot(); ++next) {
            runner.input(events[next]);
        }
        runner.runSlot();
        game.takeSounds();
        if (race) {
            race->runSlot(game.form());
        }
        return !game.form().GameOver;
    }
    HeadlessHost host;
    RecordedBest best;
    Game game;
    SlotRunner runner;
    std::unique_ptr<GhostRace> race;
    std::size_t next = 0;
};

void slots(benchmark::State& state, bool ghost) {
    auto player = std::make_unique<Player>(ghost);
    int64_t games = 0;
    for (auto _ : state) {
        if (!player->slot()) {
            state.PauseTiming();
            player = std::make_unique<Player>(ghost);
            ++games;
            state.ResumeTiming();
        }
    }
    state.counters["games"] = static_cast<double>(games);
    state.counters["slots_a_game"] = static_cast<double>(recordedRun().events.back().slot);
}

void BM_SlotAlone(benchmark::State& state) {
    slots(state, false);
}
BENCHMARK(BM_SlotAlone);

void BM_SlotWithGhost(benchmark::State& state) {
    slots(state, true);
}
BENCHMARK(BM_SlotWithGhost);

} // namespace

BENCHMARK_MAIN();
