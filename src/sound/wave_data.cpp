// SPDX-License-Identifier: GPL-3.0-or-later
#include "sound/wave_data.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <fstream>
#include <sndfile.h>

namespace kestrada::sound {

namespace {

// The file's frames with their channels averaged into one, read a block at
// a time: the whole file as floats in every channel would be several times
// the size of the sound that is kept.
std::vector<float> readMono(SNDFILE* file, const SF_INFO& info) {
    const auto channels = static_cast<std::size_t>(info.channels);
    std::vector<float> block(4096 * channels);
    std::vector<float> mono;
    mono.reserve(static_cast<std::size_t>(info.frames));
    sf_count_t got = 0;
    while ((got = sf_readf_float(file, block.data(), 4096)) > 0) {
        for (std::size_t i = 0; i < static_cast<std::size_t>(got); ++i) {
            float sum = 0;
            for (std::size_t c = 0; c < channels; ++c) {
                sum += block[i * channels + c];
            }
            mono.push_back(sum / static_cast<float>(channels));
        }
    }
    return mono;
}

// Linear interpolation is plenty for game effects, and no sound is long
// enough for the cost to matter.
Samples resample(const std::vector<float>& in, int rate) {
    const double step = static_cast<double>(rate) / kOutputRate;
    const auto count = static_cast<std::size_t>(std::floor(static_cast<double>(in.size()) / step));
    Samples out(count);
    for (std::size_t i = 0; i < count; ++i) {
        const double at = static_cast<double>(i) * step;
        const auto left = static_cast<std::size_t>(at);
        const std::size_t right = std::min(left + 1, in.size() - 1);
        const double frac = at - static_cast<double>(left);
        const double v = in[left] * (1.0 - frac) + in[right] * frac;
        out[i] = static_cast<std::int16_t>(std::lround(std::clamp(v, -1.0, 1.0) * 32767.0));
    }
    return out;
}

// A RIFF file shorter than its header says was cut short. The reader would
// play the part that is there; a damaged file is better left silent.
bool cutShort(const std::string& path) {
    std::ifstream file(path, std::ios::binary | std::ios::ate);
    const auto size = static_cast<std::uint64_t>(std::max<std::streamoff>(file.tellg(), 0));
    unsigned char head[8] = {};
    file.seekg(0);
    if (!file.read(reinterpret_cast<char*>(head), sizeof head) ||
        std::memcmp(head, "RIFF", 4) != 0) {
        return false;
    }
    const std::uint64_t declared =
        head[4] | head[5] << 8 | head[6] << 16 | static_cast<std::uint64_t>(head[7]) << 24;
    return declared + 8 > size;
}

} // namespace

std::shared_ptr<const Samples> readWave(const std::string& path) {
    if (cutShort(path)) {
        return nullptr;
    }
    SF_INFO info{};
    SNDFILE* file = sf_open(path.c_str(), SFM_READ, &info);
    if (file == nullptr) {
        return nullptr;
    }
    std::shared_ptr<Samples> samples;
    const auto frames = static_cast<std::size_t>(std::max<sf_count_t>(info.frames, 0));
    if (frames > 0 && info.channels == 1 && info.samplerate == kOutputRate) {
        // Already in the output's format, as the game's own files are.
        samples = std::make_shared<Samples>(frames);
        if (sf_readf_short(file, samples->data(), info.frames) != info.frames) {
            samples.reset();
        }
    } else if (frames > 0 && info.channels > 0 && info.samplerate > 0) {
        const std::vector<float> mono = readMono(file, info);
        if (mono.size() == frames) {
            samples = std::make_shared<Samples>(resample(mono, info.samplerate));
        }
    }
    sf_close(file);
    if (samples == nullptr || samples->empty()) {
        return nullptr;
    }
    return samples;
}

} // namespace kestrada::sound
