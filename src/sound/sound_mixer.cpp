// SPDX-License-Identifier: GPL-3.0-or-later
#include "sound/sound_mixer.h"

#include <algorithm>

namespace kestrada::sound {

namespace {
constexpr std::size_t kMaxLagFrames = kOutputRate / 50; // 20 ms
} // namespace

int SoundMixer::addVoice() {
    const std::lock_guard hold(lock_);
    voices_.emplace_back();
    return static_cast<int>(voices_.size()) - 1;
}

void SoundMixer::start(int voice, std::shared_ptr<const Samples> sound, std::int64_t frame,
                       Time now) {
    const std::lock_guard hold(lock_);
    Voice& v = voices_.at(static_cast<std::size_t>(voice));
    v.sound = std::move(sound);
    v.startFrame = std::max<std::int64_t>(frame, 0);
    v.startTime = now;
    v.next = static_cast<std::size_t>(v.startFrame);
    v.playing = v.sound != nullptr;
}

void SoundMixer::stop(int voice) {
    const std::lock_guard hold(lock_);
    voices_.at(static_cast<std::size_t>(voice)).playing = false;
}

void SoundMixer::render(std::int16_t* out, std::size_t frames, Time now) {
    const std::lock_guard hold(lock_);
    sum_.assign(frames, 0);
    for (Voice& v : voices_) {
        if (!v.playing) {
            continue;
        }
        // Rendering runs ahead of the clock by the output's buffer; behind
        // it by more than this, the voice has lost time it will not regain.
        const auto elapsed =
            std::chrono::duration_cast<std::chrono::microseconds>(now - v.startTime);
        const auto due = static_cast<std::size_t>(
            std::max<std::int64_t>(v.startFrame + elapsed.count() * kOutputRate / 1'000'000, 0));
        if (v.next + kMaxLagFrames < due) {
            v.next = due;
        }
        const Samples& samples = *v.sound;
        const std::size_t count =
            std::min(frames, samples.size() - std::min(v.next, samples.size()));
        for (std::size_t i = 0; i < count; ++i) {
            sum_[i] += samples[v.next + i];
        }
        v.next += count;
        v.playing = v.next < samples.size();
    }
    for (std::size_t i = 0; i < frames; ++i) {
        out[i] = static_cast<std::int16_t>(std::clamp(sum_[i], -32768, 32767));
    }
}

} // namespace kestrada::sound
