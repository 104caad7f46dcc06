// SPDX-License-Identifier: GPL-3.0-or-later
// Checks a recording of the sound server against the game's tick log: each
// sound is found in the recording by correlation with its own wave file,
// and its onset compared with the moment the game asked for it. Also
// prints the steady clock (now), a wave's whole seconds, and the latency
// of play calls. Prints one line per check and exits 1 if any fails.
#include "view/wave_data.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

using kestrada::view::kOutputRate;

namespace {

constexpr double kOnsetToleranceMs = 150;
constexpr double kLoopGapMs = 50;
constexpr double kMinMatch = 0.6; // normalised correlation of a sound found

using Wave = std::vector<float>;

Wave floats(const std::string& path) {
    const auto samples = kestrada::view::readWave(path);
    return samples ? Wave(samples->begin(), samples->end()) : Wave();
}

struct Match {
    long at = 0; // recording frame where the sound's frame asked for sits
    double score = -1;
};

// Normalised correlation of rec from `lag` with ref from `first`, `count` frames, every `step`.
double correlation(const Wave& rec, long lag, const Wave& ref, long first, long count, long step) {
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
Match locate(const Wave& rec, const Wave& ref, long first, long count, long from, long to) {
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

class Checker {
  public:
    static long frames(double ms) { return std::lround(ms * kOutputRate / 1000); }
    static double ms(long frames) { return frames * 1000.0 / kOutputRate; }
    static long framesIn(std::int64_t ns) { return ns * kOutputRate / 1'000'000'000; }
    // The recording and, beside it in RECORDING.start, its first frame's time.
    explicit Checker(const std::string& recording) : rec_(floats(recording)) {
        std::ifstream(recording + ".start") >> start_;
    }

    bool empty() const { return rec_.empty() || start_ == 0; }
    long frameAt(std::int64_t ns) const { return framesIn(ns - start_); }

    // Where sound `ref` from its frame `offset` on starts in the recording,
    // searched from `before` ms ahead of `expected` to `after` ms behind it;
    // the half-second window compared begins where the sound is first
    // louder than a tenth of its peak.
    Match find(const Wave& ref, long offset, long expected, double before = 300,
               double after = 700) const {
        if (offset < 0 || offset >= static_cast<long>(ref.size())) {
            return {};
        }
        const float peak = std::abs(*std::max_element(
            ref.begin(), ref.end(), [](float a, float b) { return std::abs(a) < std::abs(b); }));
        const auto loud = std::find_if(ref.begin() + offset, ref.end(),
                                       [peak](float v) { return std::abs(v) > peak / 10; });
        const long first = loud == ref.end() ? offset : static_cast<long>(loud - ref.begin());
        const long count = std::min(frames(500), static_cast<long>(ref.size()) - first);
        Match m =
            locate(rec_, ref, first, count, expected - frames(before), expected + frames(after));
        m.at -= first - offset;
        return m;
    }

    void report(const char* what, const Match& m, long expected,
                double tolerance = kOnsetToleranceMs) {
        const double late = ms(m.at - expected);
        verdict(what, m.score >= kMinMatch && std::abs(late) <= tolerance);
        std::printf("%+8.1f ms  (match %.2f)\n", late, m.score);
    }

    void silent(long from, long to) {
        float peak = 0;
        for (long i = std::max(from, 0L); i < std::min(to, static_cast<long>(rec_.size())); ++i) {
            peak = std::max(peak, std::abs(rec_[i]));
        }
        verdict("silence while paused", peak < 100 && to - from > frames(1000));
        std::printf("peak %.0f over %.0f ms\n", peak, ms(to - from));
    }

    bool failed() const { return failed_; }

  private:
    void verdict(const char* what, bool ok) {
        std::printf("%-28s %s  ", what, ok ? "ok  " : "FAIL");
        failed_ = failed_ || !ok;
    }

    Wave rec_;
    std::int64_t start_ = 0;
    bool failed_ = false;
};

// From each play call in CALLS ("play NS" lines) to its sound in the
// recording: prints the median and the worst; a call not heard counts as
// far too late.
int latency(const Wave& sound, const std::string& recording, const std::string& calls) {
    const Checker check(recording);
    std::vector<double> delays;
    std::ifstream callFile(calls);
    std::string word;
    for (std::int64_t ns = 0; callFile >> word >> ns;) {
        const long called = check.frameAt(ns);
        const Match m = check.find(sound, 0, called, 20, 400);
        delays.push_back(m.score >= kMinMatch ? Checker::ms(m.at - called) : 9999);
        std::fprintf(stderr, "play %zu: %+.1f ms (match %.2f)\n", delays.size(),
                     Checker::ms(m.at - called), m.score);
    }
    if (delays.empty()) {
        return 1;
    }
    std::sort(delays.begin(), delays.end());
    std::printf("latency calls=%zu median_ms=%.1f worst_ms=%.1f\n", delays.size(),
                delays[delays.size() / 2], delays.back());
    return 0;
}

struct Tick {
    std::int64_t ns;
    int count;
};

// The tick log's first game ("NS COUNT SPEED" lines); the next begins again at tick 1.
std::vector<Tick> firstGame(const std::string& path) {
    std::vector<Tick> ticks;
    std::ifstream file(path);
    for (Tick t; file >> t.ns >> t.count;) {
        int speed = 0;
        file >> speed;
        if (!ticks.empty() && t.count <= ticks.back().count) {
            break;
        }
        ticks.push_back(t);
    }
    return ticks;
}

int check(const std::string& waves, const std::string& recording, const std::string& eventPath,
          const std::string& tickPath) {
    const auto jingle = floats(waves + "/Start.wav");
    const auto crash = floats(waves + "/Crash.wav");
    const auto music = floats(waves + "/Kestrada.wav");
    Checker check(recording);
    // The moments the pause and unpause keys were sent.
    std::string pause, unpause;
    std::int64_t pausedNs = 0, unpausedNs = 0;
    std::ifstream(eventPath) >> pause >> pausedNs >> unpause >> unpausedNs;
    const std::vector<Tick> ticks = firstGame(tickPath);
    if (jingle.empty() || crash.empty() || music.empty() || check.empty() || ticks.size() < 100 ||
        pause != "pause" || unpause != "unpause") {
        std::fprintf(stderr, "sound_check: missing input\n");
        return 1;
    }

    // The load plays the jingle and starts the frame timer, just before the
    // first frame. The timer keeps to a 40 ms grid from its start unless a
    // tick comes later than the next one was due, so the start is the
    // earliest of the early ticks' times less their multiples of 40 ms.
    // The music starts in the tick that begins with TickCount 75.
    std::int64_t loadNs = ticks.front().ns;
    std::int64_t musicNs = 0;
    for (const Tick& t : ticks) {
        if (t.count >= 1 && t.count <= 75) {
            loadNs = std::min(loadNs, t.ns - std::int64_t{t.count} * 40'000'000);
        }
        musicNs = t.count == 76 ? t.ns : musicNs;
    }
    const long started = check.frameAt(loadNs);
    check.report("start jingle at the start", check.find(jingle, 0, started), started);
    const long musicAt = check.frameAt(musicNs);
    check.report("music at tick 75", check.find(music, 0, musicAt), musicAt);

    // Paused: nothing; unpaused: the music from where it stood. Each took
    // effect a little after its key was sent; the pause also after the last
    // tick before the gap in the ticks.
    for (std::size_t i = 1; i < ticks.size(); ++i) {
        if (ticks[i].ns - ticks[i - 1].ns > 1'000'000'000 && ticks[i].ns > unpausedNs) {
            pausedNs = std::max(pausedNs, ticks[i - 1].ns);
            break;
        }
    }
    const long unpausedAt = check.frameAt(unpausedNs);
    check.silent(check.frameAt(pausedNs) + Checker::frames(kOnsetToleranceMs), unpausedAt);
    const long stoodAt = Checker::framesIn(pausedNs - musicNs);
    const Match resumed = check.find(music, stoodAt, unpausedAt);
    check.report("music resumes where it stood", resumed, unpausedAt);

    // The loop: the music's last frames, then at once its first.
    const long length = static_cast<long>(music.size());
    const long endAt = resumed.at + (length - stoodAt);
    const long tail = length - Checker::frames(600);
    const Match ending = check.find(music, tail, endAt - (length - tail));
    const long endedAt = ending.at + (length - tail);
    check.report("music plays to its end", {endedAt, ending.score}, endAt);
    check.report("music loops, gap", check.find(music, 0, endedAt), endedAt, kLoopGapMs);

    // The crash sound, played by the tick that crashed, the first game's last.
    const long crashAt = check.frameAt(ticks.back().ns);
    check.report("crash sound at crash tick", check.find(crash, 0, crashAt), crashAt);
    return check.failed() ? 1 : 0;
}

} // namespace

int main(int argc, char* argv[]) {
    const std::vector<std::string> args(argv + 1, argv + argc);
    if (args.size() == 1 && args[0] == "now") {
        const std::chrono::nanoseconds now = std::chrono::steady_clock::now().time_since_epoch();
        std::printf("%lld\n", static_cast<long long>(now.count()));
        return 0;
    }
    if (args.size() == 2 && args[0] == "seconds") {
        std::printf("%zu\n", floats(args[1]).size() / kOutputRate);
        return 0;
    }
    if (args.size() == 4 && args[0] == "latency") {
        return latency(floats(args[1]), args[2], args[3]);
    }
    if (args.size() == 4) {
        return check(args[0], args[1], args[2], args[3]);
    }
    std::fprintf(stderr,
                 "usage: %s now | seconds WAVE | latency WAVE REC CALLS | WAVES REC EVENTS TICKS\n",
                 argv[0]);
    return 2;
}
