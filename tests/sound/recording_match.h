// SPDX-License-Identifier: GPL-3.0-or-later
// Finding a wave file's sound in a recording of the sound server, by
// correlation, and timing it against the moment it was asked for.
#pragma once

#include "sound/wave_data.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

namespace kestrada::sound_test {

using kestrada::sound::kOutputRate;

constexpr double kOnsetToleranceMs = 150;
constexpr double kStallsMs = 600; // how late a long sound may have come by stalls
constexpr double kLoopGapMs = 50;
constexpr double kMusicAfterJingleMs = 100; // the music's onset against the jingle's
constexpr double kLostPartMs = 40;          // the longest part of the jingle not heard
constexpr double kMinMatch = 0.6;           // normalised correlation of a sound found
constexpr double kMinWindowMatch = 0.9;     // of a 20 ms window of it heard

using Wave = std::vector<float>;

inline Wave floats(const std::string& path) {
    const auto samples = kestrada::sound::readWave(path);
    return samples ? Wave(samples->begin(), samples->end()) : Wave();
}

struct Match {
    long at = 0; // recording frame where the sound's frame asked for sits
    double score = -1;
};

// Normalised correlation of rec from `lag` with ref from `first`, `count` frames, every `step`.
inline double correlation(const Wave& rec, long lag, const Wave& ref, long first, long count,
                          long step) {
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
inline Match locate(const Wave& rec, const Wave& ref, long first, long count, long from, long to) {
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

// The loudest sample of w[first, last).
inline float peakOf(const Wave& w, long first, long last) {
    float peak = 0;
    for (long i = std::max(first, 0L); i < std::min(last, static_cast<long>(w.size())); ++i) {
        peak = std::max(peak, std::abs(w[i]));
    }
    return peak;
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
    // from `before` ms ahead of `expected` to `after` ms behind it, compared
    // from its first loud frame over `windowMs`: all of a sound that repeats
    // itself (the jingle's beeps), as any part alone fits at each repeat.
    Match find(const Wave& ref, long offset, long expected, double before = 300, double after = 700,
               double windowMs = 250) const {
        if (offset < 0 || offset >= static_cast<long>(ref.size())) {
            return {};
        }
        const float peak = peakOf(ref, 0, static_cast<long>(ref.size()));
        const auto loud = std::find_if(ref.begin() + offset, ref.end(),
                                       [peak](float v) { return std::abs(v) > peak / 10; });
        const long first = loud == ref.end() ? offset : static_cast<long>(loud - ref.begin());
        const long count = std::min(frames(windowMs), static_cast<long>(ref.size()) - first);
        Match m =
            locate(rec_, ref, first, count, expected - frames(before), expected + frames(after));
        m.at -= first - offset;
        return m;
    }

    // Within `tolerance` ms either way, or late by stalls up to `lateBy` ms.
    void report(const char* what, const Match& m, long expected,
                double tolerance = kOnsetToleranceMs, double lateBy = 0) {
        const double late = ms(m.at - expected);
        verdict(what,
                m.score >= kMinMatch && late >= -tolerance && late <= std::max(tolerance, lateBy));
        std::printf("%+8.1f ms  (match %.2f)\n", late, m.score);
    }

    // How much of ref is heard from recording frame `at` on, 20 ms at a time
    // (later, after a stall); fails for a part longer than kLostPartMs lost.
    void whole(const char* what, const Wave& ref, long at) {
        const long window = frames(20);
        const float peak = peakOf(ref, 0, static_cast<long>(ref.size()));
        long drift = 0;
        int loud = 0;
        int heard = 0;
        int lostRun = 0;
        int longestLost = 0;
        for (long first = 0; first + window <= static_cast<long>(ref.size()); first += window) {
            if (peakOf(ref, first, first + window) < peak / 20) {
                continue;
            }
            ++loud;
            const long expected = at + first + drift;
            Match m = locate(rec_, ref, first, window, expected - frames(2), expected + frames(2));
            if (m.score < kMinWindowMatch) {
                m = locate(rec_, ref, first, window, expected - frames(2), expected + frames(260));
            }
            if (m.score >= kMinWindowMatch) {
                ++heard;
                drift = m.at - at - first;
                lostRun = 0;
            } else {
                longestLost = std::max(longestLost, ++lostRun);
            }
        }
        const double lostMs = longestLost * 20.0;
        verdict(what, loud > 0 && lostMs <= kLostPartMs);
        std::printf("heard %.2f, longest part lost %.0f ms, late at the end %+.1f ms\n",
                    loud > 0 ? static_cast<double>(heard) / loud : 0.0, lostMs, ms(drift));
    }

    void silent(long from, long to) {
        const float peak = peakOf(rec_, from, to);
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

} // namespace kestrada::sound_test
