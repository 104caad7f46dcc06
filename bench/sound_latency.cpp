// SPDX-License-Identifier: GPL-3.0-or-later
// The sound latency measure of bench/run.sh: from each play call in CALLS
// ("play NS" lines) to its sound in the recording REC; prints the median
// and the worst. A call not heard counts as far too late.
//   kestrada_sound_latency WAVE REC CALLS
#include "sound/recording_match.h"

using namespace kestrada::sound_test;

int main(int argc, char* argv[]) {
    if (argc != 4) {
        std::fprintf(stderr, "usage: %s WAVE REC CALLS\n", argv[0]);
        return 2;
    }
    const Wave sound = floats(argv[1]);
    const Checker check(argv[2]);
    std::vector<double> delays;
    std::ifstream callFile(argv[3]);
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
