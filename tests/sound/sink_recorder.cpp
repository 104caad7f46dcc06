// SPDX-License-Identifier: GPL-3.0-or-later
// Records a sound server's source (a sink's monitor) into a mono 16-bit
// wave file until SIGTERM; OUT.ready appears once it records, OUT.start at
// the end with the steady clock time of its first frame: the earliest
// arrival less the frames before it, so sounds look late, never early.
//   kestrada_sink_recorder SOURCE OUT.wav
#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <limits>
#include <pulse/error.h>
#include <pulse/simple.h>
#include <sndfile.h>
#include <string>

namespace {
constexpr int kRate = 44100;
constexpr int kChunk = kRate / 200; // 5 ms
volatile std::sig_atomic_t stopping = 0;
} // namespace

int main(int argc, char* argv[]) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: %s SOURCE OUT.wav\n", argv[0]);
        return 2;
    }
    std::signal(SIGTERM, [](int) { stopping = 1; });
    std::signal(SIGINT, [](int) { stopping = 1; });
    const pa_sample_spec format{PA_SAMPLE_S16LE, kRate, 1};
    const pa_buffer_attr attr{std::numeric_limits<std::uint32_t>::max(), 0, 0, 0, kChunk * 2};
    int error = 0;
    pa_simple* source = pa_simple_new(nullptr, "kestrada sound check", PA_STREAM_RECORD, argv[1],
                                      "monitor", &format, nullptr, &attr, &error);
    SF_INFO info{0, kRate, 1, SF_FORMAT_WAV | SF_FORMAT_PCM_16, 0, 0};
    SNDFILE* out = source != nullptr ? sf_open(argv[2], SFM_WRITE, &info) : nullptr;
    if (out == nullptr) {
        std::fprintf(stderr, "sink_recorder: %s\n",
                     source == nullptr ? pa_strerror(error) : sf_strerror(nullptr));
        return 1;
    }
    std::int16_t chunk[kChunk];
    std::int64_t frames = 0;
    std::int64_t start = std::numeric_limits<std::int64_t>::max();
    while (stopping == 0 && pa_simple_read(source, chunk, sizeof chunk, &error) == 0) {
        const auto now = std::chrono::steady_clock::now().time_since_epoch();
        frames += kChunk;
        start = std::min<std::int64_t>(start, std::chrono::nanoseconds(now).count() -
                                                  frames * 1'000'000'000 / kRate);
        sf_writef_short(out, chunk, kChunk);
        if (frames == kChunk) {
            std::ofstream(std::string(argv[2]) + ".ready") << '\n';
        }
    }
    sf_close(out);
    pa_simple_free(source);
    std::ofstream(std::string(argv[2]) + ".start") << start << '\n';
    return 0;
}
