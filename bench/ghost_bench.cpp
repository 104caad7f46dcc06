// SPDX-License-Identifier: GPL-3.0-or-later
// What a ghost adds to a slot. The player's game copies a recorded run's
// keys slot by slot, alone and with that run's ghost racing beside it; both
// play the same long game, so the difference is the ghost's whole cost: its
// events, its tick and both roads followed.
#include "play/ghost_race.h"
#include "testing/made_run.h"

#include <benchmark/benchmark.h>
#include <memory>
#include <stdexcept>
#include <string>

namespace {

using namespace kestrada;
using namespace kestrada::session;

// A recorded game up the road, read as a run to race.
const GhostRun& recordedRun() {
    static const GhostRun run = [] {
        std::string error;
        auto read = readGhostRun(testing::madeRun(5, 1), error);
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
        feed.deliver(runner, game, runner.slot());
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
    SlotFeed feed{recordedRun().events};
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
