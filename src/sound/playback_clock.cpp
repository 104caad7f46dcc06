// SPDX-License-Identifier: GPL-3.0-or-later
#include "sound/playback_clock.h"

#include <algorithm>

namespace kestrada::sound {

std::chrono::nanoseconds PlaybackClock::span(std::int64_t frames) const {
    return std::chrono::nanoseconds(frames * 1'000'000'000 / rate_);
}

std::int64_t PlaybackClock::frame(Time now) const {
    if (!playing_) {
        return startFrame_;
    }
    const auto elapsed = std::chrono::duration_cast<std::chrono::nanoseconds>(now - startTime_);
    return std::min(length_, startFrame_ + elapsed.count() * rate_ / 1'000'000'000);
}

PlaybackClock::Time PlaybackClock::endTime() const {
    return startTime_ + span(length_ - startFrame_);
}

void PlaybackClock::play(Time now) {
    if (playing_) {
        return;
    }
    if (startFrame_ >= length_) {
        startFrame_ = 0;
    }
    playing_ = true;
    startTime_ = now;
}

void PlaybackClock::stop(Time now) {
    startFrame_ = frame(now);
    playing_ = false;
}

void PlaybackClock::seek(std::int64_t frame, Time now) {
    startFrame_ = std::clamp<std::int64_t>(frame, 0, length_);
    startTime_ = now;
}

bool PlaybackClock::takeEnd(Time now) {
    if (!playing_ || now < endTime()) {
        return false;
    }
    startFrame_ = length_;
    playing_ = false;
    return true;
}

} // namespace kestrada::sound
