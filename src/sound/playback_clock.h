// SPDX-License-Identifier: GPL-3.0-or-later
// Where one player stands in its sound, kept by a clock rather than by the
// sound output: a playing player advances in real time and reaches its end
// on time whether or not any device plays it, so the game behaves the same
// with sound and without.
#pragma once

#include <chrono>
#include <cstdint>

namespace kestrada::sound {

class PlaybackClock {
  public:
    using Time = std::chrono::steady_clock::time_point;

    PlaybackClock(std::int64_t lengthFrames, int rate) : length_(lengthFrames), rate_(rate) {}

    // From the current place; one that ran to the end starts over.
    void play(Time now);
    // Keeps the place.
    void stop(Time now);
    void seek(std::int64_t frame, Time now);

    bool playing(Time now) const { return playing_ && now < endTime(); }
    std::int64_t frame(Time now) const;
    // When the playback under way runs out; meaningful while playing.
    Time endTime() const;
    // True once for each playback that ran to its end by now; the player
    // then stands stopped at the end.
    bool takeEnd(Time now);

  private:
    std::chrono::nanoseconds span(std::int64_t frames) const;

    std::int64_t length_;
    int rate_;
    bool playing_ = false;
    std::int64_t startFrame_ = 0; // the place when the playback began
    Time startTime_{};
};

} // namespace kestrada::sound
