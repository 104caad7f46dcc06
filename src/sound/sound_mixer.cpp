// SPDX-License-Identifier: GPL-3.0-or-later
#include "sound/sound_mixer.h"

#include <algorithm>
#include <cstdio>

namespace kestrada::sound {

namespace {
std::int64_t length(const std::shared_ptr<const Samples>& sound) {
    return sound ? static_cast<std::int64_t>(sound->size()) : 0;
}
} // namespace

SoundMixer::SoundMixer(Post post, Clock clock)
    : post_(std::move(post)),
      clock_(clock ? std::move(clock) : [] { return std::chrono::steady_clock::now(); }) {}

int SoundMixer::addVoice() {
    const std::lock_guard hold(lock_);
    voices_.emplace_back();
    return static_cast<int>(voices_.size()) - 1;
}

std::int64_t SoundMixer::clockPlace(const Voice& v, Time now) const {
    const auto elapsed =
        std::chrono::duration_cast<std::chrono::microseconds>(now - v.anchorTime).count();
    return std::min(length(v.sound), v.anchorFrame + elapsed * kOutputRate / 1'000'000);
}

bool SoundMixer::settle(Voice& v, Time now) {
    if (!v.playing) {
        return false;
    }
    if (!running_) {
        v.next = clockPlace(v, now);
    }
    if (v.next < length(v.sound)) {
        return false;
    }
    v.playing = false;
    v.endDue = true;
    return true;
}

void SoundMixer::postEnds() {
    if (post_) {
        post_([this] { deliverEnds(); });
    }
}

void SoundMixer::setSound(int number, std::shared_ptr<const Samples> sound) {
    const std::lock_guard hold(lock_);
    Voice& v = voice(number);
    v.sound = std::move(sound);
    v.playing = false;
    v.next = 0;
}

void SoundMixer::setOnEnded(int number, std::function<void()> ended) {
    const std::lock_guard hold(lock_);
    voice(number).ended = std::move(ended);
}

bool SoundMixer::play(int number) {
    const Time now = clock_();
    bool ended = false;
    bool started = false;
    {
        const std::lock_guard hold(lock_);
        Voice& v = voice(number);
        ended = settle(v, now);
        if (!v.playing && v.sound != nullptr) {
            if (v.next >= length(v.sound)) {
                v.next = 0;
            }
            v.playing = true;
            v.anchorFrame = v.next;
            v.anchorTime = now;
            started = true;
        }
    }
    if (ended) {
        postEnds();
    }
    return started;
}

void SoundMixer::stop(int number) {
    const Time now = clock_();
    bool ended = false;
    {
        const std::lock_guard hold(lock_);
        Voice& v = voice(number);
        ended = settle(v, now);
        v.playing = false;
    }
    if (ended) {
        postEnds();
    }
}

void SoundMixer::seek(int number, std::int64_t frame) {
    const Time now = clock_();
    bool ended = false;
    {
        const std::lock_guard hold(lock_);
        Voice& v = voice(number);
        ended = settle(v, now);
        v.next = std::clamp<std::int64_t>(frame, 0, length(v.sound));
        v.anchorFrame = v.next;
        v.anchorTime = now;
    }
    if (ended) {
        postEnds();
    }
}

bool SoundMixer::playing(int number) {
    const Time now = clock_();
    const std::lock_guard hold(lock_);
    const Voice& v = voice(number);
    const std::int64_t at = running_ ? v.next : clockPlace(v, now);
    return v.playing && at < length(v.sound);
}

std::int64_t SoundMixer::place(int number) {
    const Time now = clock_();
    const std::lock_guard hold(lock_);
    const Voice& v = voice(number);
    return v.playing && !running_ ? clockPlace(v, now) : v.next;
}

void SoundMixer::deliverEnds() {
    const Time now = clock_();
    std::vector<std::function<void()>> calls;
    {
        const std::lock_guard hold(lock_);
        for (Voice& v : voices_) {
            settle(v, now);
            if (v.endDue && v.ended) {
                calls.push_back(v.ended);
            }
            v.endDue = false;
        }
    }
    for (const auto& call : calls) {
        call();
    }
}

void SoundMixer::deviceStopped() {
    const Time now = clock_();
    const std::lock_guard hold(lock_);
    if (!running_) {
        return;
    }
    // From here the clock moves the voices on from where the device left them.
    for (Voice& v : voices_) {
        v.anchorFrame = v.next;
        v.anchorTime = now;
    }
    running_ = false;
}

void SoundMixer::render(std::int16_t* out, std::size_t frames) {
    const Time now = clock_();
    bool ended = false;
    {
        const std::lock_guard hold(lock_);
        if (!running_) {
            // The device picks the voices up where the clock has them.
            for (Voice& v : voices_) {
                ended = settle(v, now) || ended;
                v.anchorFrame = v.next;
                v.anchorTime = now;
            }
            running_ = true;
        }
        sum_.assign(frames, 0);
        for (Voice& v : voices_) {
            if (!v.playing) {
                continue;
            }
            // Each render sets the voice's clock going from where it stands,
            // so only the time since the last one counts against it: a
            // stall, however many came before it.
            const std::int64_t due = clockPlace(v, now);
            if (due - v.next > kMaxLagFrames) {
                v.next = due;
                if (!skipSaid_) {
                    skipSaid_ = true;
                    std::fputs("kestrada: the sound output stalled; skipped what it missed\n",
                               stderr);
                }
            }
            const Samples& samples = *v.sound;
            const auto count = static_cast<std::size_t>(std::clamp<std::int64_t>(
                length(v.sound) - v.next, 0, static_cast<std::int64_t>(frames)));
            for (std::size_t i = 0; i < count; ++i) {
                sum_[i] += samples[static_cast<std::size_t>(v.next) + i];
            }
            v.next += static_cast<std::int64_t>(count);
            v.anchorFrame = v.next;
            v.anchorTime = now;
            ended = settle(v, now) || ended;
        }
        for (std::size_t i = 0; i < frames; ++i) {
            out[i] = static_cast<std::int16_t>(std::clamp(sum_[i], -32768, 32767));
        }
    }
    if (ended) {
        postEnds();
    }
}

void SoundMixer::followClock() {
    const Time now = clock_();
    bool ended = false;
    {
        const std::lock_guard hold(lock_);
        if (running_) {
            return;
        }
        for (Voice& v : voices_) {
            ended = settle(v, now) || ended;
        }
    }
    if (ended) {
        postEnds();
    }
}

} // namespace kestrada::sound
