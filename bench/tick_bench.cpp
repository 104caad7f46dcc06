// How long one tick of a busy game takes, and one record of the state
// trace. The busy game is found by playing a seeded game with a simple
// driver until traffic, a crater and a shot are all on the road at once.
#include "app/key_codes.h"
#include "headless/headless_game.h"
#include "headless/trace_writer.h"

#include <benchmark/benchmark.h>
#include <cstdio>
#include <filesystem>
#include <optional>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

using kestrada::Form;
using kestrada::headless::HeadlessGame;

int traffic(const Form& f) {
    return f.imgCiv1().Visible + f.imgCiv2().Visible + f.imgHog().Visible + f.imgMs().Visible;
}

bool busy(const Form& f) {
    return traffic(f) >= 2 && f.CratersInPlay > 0 && f.MissileInFlight == 1 && f.Speed > 0 &&
           !f.GameOver;
}

// Keeps a shot out whenever it can: part of the busy game being measured.
void fireWhenReady(Form& f) {
    if (f.MissileInFlight != 1) {
        f.Form_KeyDown(kestrada::kKeySpace);
    }
}

// A crash in the benchmark must not write the high-score file.
constexpr const char* kUnbeatable = "999999999999";

// The game once it is busy; the same game for every benchmark in the run.
class BusyGame {
  public:
    static BusyGame& instance() {
        static BusyGame game;
        return game;
    }
    HeadlessGame& game() { return game_; }
    const Form& busyState() const { return busyState_; }
    long ticksToFind() const { return ticksToFind_; }

  private:
    BusyGame() : folder_(scratchFolder()), game_(folder_, 3) {
        game_.start();
        Form& f = game_.form;
        f.lblHighScore().Caption = kUnbeatable;
        f.Form_KeyDown(kestrada::kKeyUp);
        // -1: waiting to reach speed on the verge; then ticks left to steer.
        int steering = -1;
        for (ticksToFind_ = 0; ticksToFind_ < 200000; ++ticksToFind_) {
            if (f.GameOver) {
                f.Form_KeyDown(kestrada::kKeyEnter);
                f.lblHighScore().Caption = kUnbeatable;
                steering = -1;
            }
            if (steering == -1 && f.Speed >= 5) {
                f.Form_KeyDown(kestrada::kKeyLeft);
                steering = 7;
            }
            if (steering > 0 && --steering == 0) {
                f.Form_KeyUp(kestrada::kKeyLeft);
            }
            fireWhenReady(f);
            game_.tick();
            if (busy(f)) {
                break;
            }
        }
        game_.soundLog.clear();
        busyState_ = f;
    }
    ~BusyGame() {
        std::error_code ec;
        std::filesystem::remove_all(folder_, ec);
    }

    // Form_Load creates the high-score file; keep it out of shared folders.
    static std::filesystem::path scratchFolder() {
        const auto folder = std::filesystem::temp_directory_path() /
                            ("kestrada-bench-" + std::to_string(::getpid()));
        std::filesystem::create_directories(folder);
        return folder;
    }

    std::filesystem::path folder_;
    HeadlessGame game_;
    Form busyState_;
    long ticksToFind_ = 0;
};

// Continuing play from the busy state. Every 512 ticks, or when the game
// ends, the busy state is restored so the measure stays on a busy road.
void BM_BusyTick(benchmark::State& state) {
    BusyGame& busyGame = BusyGame::instance();
    HeadlessGame& game = busyGame.game();
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
        kestrada::headless::appendRecord(out, f, 1234, true, sounds);
        benchmark::DoNotOptimize(out.data());
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * out.size()));
    state.counters["record_bytes"] = static_cast<double>(out.size());
}
BENCHMARK(BM_TraceRecord);

} // namespace

BENCHMARK_MAIN();
