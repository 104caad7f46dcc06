// SPDX-License-Identifier: GPL-3.0-or-later
// How long one tick of a busy game takes, and one record of the state
// trace. The busy game is found by playing a seeded game with a simple
// driver until traffic, a crater and a shot are all on the road at once.
#include "busy_game.h"
#include "session/trace_writer.h"

#include <benchmark/benchmark.h>
#include <string>
#include <vector>

namespace {

using kestrada::Form;
using kestrada::bench::BusyGame;
using kestrada::bench::fireWhenReady;
using kestrada::bench::traffic;
using kestrada::testing::TestGame;

// Continuing play from the busy state. Every 512 ticks, or when the game
// ends, the busy state is restored so the measure stays on a busy road.
void BM_BusyTick(benchmark::State& state) {
    BusyGame& busyGame = BusyGame::instance();
    TestGame& game = busyGame.game();
    Form& f = game.form;
    f = busyGame.busyState();
    int64_t resets = 0;
    int sinceReset = 0;
    for (auto _ : state) {
        if (!f.tmrMain.Enabled || ++sinceReset == 512) {
            f = busyGame.busyState();
            sinceReset = 0;
            ++resets;
        }
        fireWhenReady(f);
        f.tmrMain_Timer();
        game.soundLog.clear();
        benchmark::DoNotOptimize(f.TickCount);
    }
    state.counters["resets"] = static_cast<double>(resets);
    state.counters["ticks_to_busy"] = static_cast<double>(busyGame.ticksToFind());
    state.counters["busy_traffic"] = traffic(busyGame.busyState());
    state.counters["busy_craters"] = busyGame.busyState().CratersInPlay;
    state.counters["busy_speed"] = busyGame.busyState().Speed;
}
BENCHMARK(BM_BusyTick);

// The cost of one reset, to see how much of BM_BusyTick it accounts for.
void BM_RestoreBusyState(benchmark::State& state) {
    BusyGame& busyGame = BusyGame::instance();
    Form& f = busyGame.game().form;
    for (auto _ : state) {
        f = busyGame.busyState();
        benchmark::DoNotOptimize(f.TickCount);
    }
}
BENCHMARK(BM_RestoreBusyState);

void BM_TraceRecord(benchmark::State& state) {
    const Form& f = BusyGame::instance().busyState();
    const std::vector<std::string> sounds = {"sndMusic.setpos", "sndMusic.play"};
    std::string out;
    out.reserve(8192);
    for (auto _ : state) {
        out.clear();
        kestrada::session::appendRecord(out, f, 1234, true, sounds);
        benchmark::DoNotOptimize(out.data());
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * out.size()));
    state.counters["record_bytes"] = static_cast<double>(out.size());
}
BENCHMARK(BM_TraceRecord);

} // namespace

BENCHMARK_MAIN();
