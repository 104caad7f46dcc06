// SPDX-License-Identifier: GPL-3.0-or-later
// Checks a recording of the sound server against the game's tick log: each
// sound is found in the recording by correlation with its own wave file,
// and its onset compared with the moment the game asked for it.
//   kestrada_sound_check now          prints the steady clock in ns
//   kestrada_sound_check seconds WAVE prints its whole seconds
//   kestrada_sound_check WAVES RECORDING EVENTS TICKS
// EVENTS holds "pause NS" and "unpause NS", the moments the keys were sent.
// Prints one line per check and exits 1 if any fails.
#include "view/wave_data.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <map>
#include <string>
#include <vector>

using kestrada::view::kOutputRate;
using kestrada::view::readWave;

namespace {

constexpr double kOnsetToleranceMs = 150;
constexpr double kLoopGapMs = 50;
constexpr double kMinMatch = 0.6; // normalised correlation of a sound found

struct Tick {
    std::int64_t ns;
    int count;
};

std::vector<float> floats(const std::string& path) {
    const auto samples = readWave(path);
    std::vector<float> out;
    if (samples) {
        out.assign(samples->begin(), samples->end());
    }
    return out;
}

struct Match {
    long at = 0; // recording frame where the window's first frame sits
    double score = -1;
};

// Normalised correlation of rec from `lag` with ref from `first`, `count` frames, every `step`.
double correlation(const std::vector<float>& rec, long lag, const std::vector<float>& ref,
                   long first, long count, long step) {
    double dot = 0, recEnergy = 0, refEnergy = 0;
    for (long i = 0; i < count; i += step) {
        dot += rec[lag + i] * ref[first + i];
        recEnergy += rec[lag + i] * rec[lag + i];
        refEnergy += ref[first + i] * ref[first + i];
    }
    return recEnergy > 0 && refEnergy > 0 ? dot / std::sqrt(recEnergy * refEnergy) : 0;
}

// Where in rec[from, to) the reference frames [first, first + count) fit:
// a coarse pass at every lag on every fourth frame, the earliest lag that
// fits nearly as well as the best (a sound that repeats itself fits at each
// repeat), then the best lag around it on every frame.
Match locate(const std::vector<float>& rec, const std::vector<float>& ref, long first, long count,
             long from, long to) {
    from = std::max(from, 0L);
    to = std::min(to, static_cast<long>(rec.size()) - count);
    std::vector<double> coarse;
    for (long lag = from; lag < to; ++lag) {
        coarse.push_back(correlation(rec, lag, ref, first, count, 4));
    }
    if (coarse.empty()) {
        return {};
    }
    const double best = *std::max_element(coarse.begin(), coarse.end());
    const long near = from + (std::find_if(coarse.begin(), coarse.end(),
                                           [best](double c) { return c >= best - 0.05; }) -
                              coarse.begin());
    Match m;
    for (long lag = std::max(from, near - 4); lag <= std::min(to - 1, near + 4); ++lag) {
        const double score = correlation(rec, lag, ref, first, count, 1);
        if (score > m.score) {
            m = {lag, score};
        }
    }
    return m;
}

// The first frame at or after `from` louder than a tenth of the peak.
long audibleFrom(const std::vector<float>& ref, long from) {
    float peak = 0;
    for (float v : ref) {
        peak = std::max(peak, std::abs(v));
    }
    for (long i = from; i < static_cast<long>(ref.size()); ++i) {
        if (std::abs(ref[i]) > peak / 10) {
            return i;
        }
    }
    return from;
}

class Checker {
  public:
    Checker(std::vector<float> rec, std::int64_t startNs) : rec_(std::move(rec)), start_(startNs) {}

    long frameAt(std::int64_t ns) const { return (ns - start_) * kOutputRate / 1'000'000'000; }
    static long frames(double ms) { return std::lround(ms * kOutputRate / 1000); }
    static double ms(long frames) { return frames * 1000.0 / kOutputRate; }

    // Where sound `ref` from its frame `offset` on starts in the recording,
    // searched from `before` ms ahead of `expected` to `after` ms behind it;
    // the half-second window compared begins where the sound is loud.
    Match find(const std::vector<float>& ref, long offset, long expected, double before = 300,
               double after = 700) const {
        if (offset < 0 || offset >= static_cast<long>(ref.size())) {
            return {};
        }
        const long first = audibleFrom(ref, offset);
        const long count = std::min(frames(500), static_cast<long>(ref.size()) - first);
        Match m =
            locate(rec_, ref, first, count, expected - frames(before), expected + frames(after));
        m.at -= first - offset;
        return m;
    }

    bool report(const char* what, const Match& m, long expected, double tolerance) {
        const double late = ms(m.at - expected);
        const bool ok = m.score >= kMinMatch && std::abs(late) <= tolerance;
        std::printf("%-28s %s  %+8.1f ms  (match %.2f)\n", what, ok ? "ok  " : "FAIL", late,
                    m.score);
        failed_ = failed_ || !ok;
        return ok;
    }

    bool silent(long from, long to) {
        float peak = 0;
        for (long i = std::max(from, 0L); i < std::min(to, static_cast<long>(rec_.size())); ++i) {
            peak = std::max(peak, std::abs(rec_[i]));
        }
        const bool ok = peak < 100 && to - from > frames(1000);
        std::printf("%-28s %s  peak %.0f over %.0f ms\n", "silence while paused",
                    ok ? "ok  " : "FAIL", peak, ms(to - from));
        failed_ = failed_ || !ok;
        return ok;
    }

    bool failed() const { return failed_; }

  private:
    std::vector<float> rec_;
    std::int64_t start_;
    bool failed_ = false;
};

// From each play call in CALLS ("play NS" lines) to its sound in the
// recording: prints the median and the worst.
int latency(const std::vector<float>& sound, const std::string& recording,
            const std::string& calls) {
    std::int64_t startNs = 0;
    std::ifstream(recording + ".start") >> startNs;
    const Checker check(floats(recording), startNs);
    std::vector<double> delays;
    std::ifstream callFile(calls);
    std::string word;
    int callCount = 0;
    for (std::int64_t ns = 0; callFile >> word >> ns; ++callCount) {
        const long called = check.frameAt(ns);
        const Match m = check.find(sound, 0, called, 20, 400);
        // A call not heard counts as far too late.
        delays.push_back(m.score >= kMinMatch ? Checker::ms(m.at - called) : 9999);
        std::fprintf(stderr, "play %d: %+.1f ms (match %.2f)\n", callCount + 1,
                     Checker::ms(m.at - called), m.score);
    }
    if (delays.empty()) {
        return 1;
    }
    std::sort(delays.begin(), delays.end());
    std::printf("latency calls=%d median_ms=%.1f worst_ms=%.1f\n", callCount,
                delays[delays.size() / 2], delays.back());
    return 0;
}

} // namespace

int main(int argc, char* argv[]) {
    const auto nowNs = [] {
        return std::chrono::duration_cast<std::chrono::nanoseconds>(
                   std::chrono::steady_clock::now().time_since_epoch())
            .count();
    };
    if (argc == 2 && std::string(argv[1]) == "now") {
        std::printf("%lld\n", static_cast<long long>(nowNs()));
        return 0;
    }
    if (argc == 3 && std::string(argv[1]) == "seconds") {
        std::printf("%zu\n", floats(argv[2]).size() / kOutputRate);
        return 0;
    }
    if (argc == 5 && std::string(argv[1]) == "latency") {
        return latency(floats(argv[2]), argv[3], argv[4]);
    }
    if (argc != 5) {
        std::fprintf(stderr,
                     "usage: %s now | seconds WAVE | latency WAVE RECORDING CALLS | WAVES "
                     "RECORDING EVENTS TICKS\n",
                     argv[0]);
        return 2;
    }
    const std::string waves = argv[1];
    const std::string recording = argv[2];
    const auto jingle = floats(waves + "/Start.wav");
    const auto crash = floats(waves + "/Crash.wav");
    const auto music = floats(waves + "/Kestrada.wav");
    const auto rec = floats(recording);
    std::int64_t startNs = 0;
    std::ifstream(recording + ".start") >> startNs;
    std::map<std::string, std::int64_t> events;
    std::ifstream eventFile(argv[3]);
    for (std::string name; eventFile >> name;) {
        eventFile >> events[name];
    }
    std::vector<Tick> ticks;
    std::ifstream tickFile(argv[4]);
    for (Tick t; tickFile >> t.ns >> t.count;) {
        int speed = 0;
        tickFile >> speed;
        ticks.push_back(t);
    }
    if (jingle.empty() || crash.empty() || music.empty() || rec.empty() || startNs == 0 ||
        ticks.size() < 100 || !events.count("pause") || !events.count("unpause")) {
        std::fprintf(stderr, "sound_check: missing input\n");
        return 1;
    }
    Checker check(rec, startNs);
    // The first game only; the next begins again at tick 1.
    for (std::size_t i = 1; i < ticks.size(); ++i) {
        if (ticks[i].count <= ticks[i - 1].count) {
            ticks.resize(i);
            break;
        }
    }

    // The load plays the jingle and starts the frame timer, just before the
    // first frame. The timer keeps to a 40 ms grid from its start unless a
    // tick comes later than the next one was due, so the start is the
    // earliest of the early ticks' times less their multiples of 40 ms.
    std::int64_t loadNs = ticks.front().ns;
    for (const Tick& t : ticks) {
        if (t.count >= 1 && t.count <= 75) {
            loadNs = std::min(loadNs, t.ns - std::int64_t{t.count} * 40'000'000);
        }
    }
    const long started = check.frameAt(loadNs);
    check.report("start jingle at the start", check.find(jingle, 0, started), started,
                 kOnsetToleranceMs);

    // The music starts in the tick that begins with TickCount 75.
    std::int64_t musicNs = 0;
    for (const Tick& t : ticks) {
        if (t.count == 76) {
            musicNs = t.ns;
        }
    }
    const long musicAt = check.frameAt(musicNs);
    check.report("music at tick 75", check.find(music, 0, musicAt), musicAt, kOnsetToleranceMs);

    // Paused: nothing; unpaused: the music from where it stood. Each took
    // effect a little after its key was sent; the pause also after the last
    // tick before the gap in the ticks.
    std::int64_t pausedNs = events["pause"];
    const std::int64_t unpausedNs = events["unpause"];
    for (std::size_t i = 1; i < ticks.size(); ++i) {
        if (ticks[i].ns - ticks[i - 1].ns > 1'000'000'000 && ticks[i].ns > unpausedNs) {
            pausedNs = std::max(pausedNs, ticks[i - 1].ns);
            break;
        }
    }
    const long unpausedAt = check.frameAt(unpausedNs);
    check.silent(check.frameAt(pausedNs) + Checker::frames(kOnsetToleranceMs), unpausedAt);
    const long stoodAt = static_cast<long>((pausedNs - musicNs) * kOutputRate / 1'000'000'000);
    const Match resumed = check.find(music, stoodAt, unpausedAt);
    check.report("music resumes where it stood", resumed, unpausedAt, kOnsetToleranceMs);

    // The loop: the music's last frames, then at once its first.
    const long length = static_cast<long>(music.size());
    const long endAt = resumed.at + (length - stoodAt);
    const long tail = length - Checker::frames(600);
    const Match ending = check.find(music, tail, endAt - (length - tail));
    const long endedAt = ending.at + (length - tail);
    check.report("music plays to its end", {endedAt, ending.score}, endAt, kOnsetToleranceMs);
    check.report("music loops, gap", check.find(music, 0, endedAt), endedAt, kLoopGapMs);

    // The crash sound, played by the tick that crashed, the first game's last.
    const long crashAt = check.frameAt(ticks.back().ns);
    check.report("crash sound at crash tick", check.find(crash, 0, crashAt), crashAt,
                 kOnsetToleranceMs);
    return check.failed() ? 1 : 0;
}
