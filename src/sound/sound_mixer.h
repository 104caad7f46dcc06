// SPDX-License-Identifier: GPL-3.0-or-later
// The voices that the sound output plays, one per player, summed into one
// stream. The players call it on the window's thread, the output renders
// on its own thread: every member takes the one lock, briefly.
#pragma once

#include "sound/wave_data.h"

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <mutex>
#include <vector>

namespace kestrada::sound {

class SoundMixer {
  public:
    using Time = std::chrono::steady_clock::time_point;

    // A new voice, silent until started; the number names it from now on.
    int addVoice();
    // Plays the sound from `frame` on, the frame its player's clock stands
    // at `now`; a running voice jumps there.
    void start(int voice, std::shared_ptr<const Samples> sound, std::int64_t frame, Time now);
    void stop(int voice);
    // Fills out with the next frames of every playing voice added together,
    // clipped to the 16-bit range; silence where nothing plays. A voice
    // left behind its player's clock (the output was starved) skips ahead,
    // so that its end comes when the player's does.
    void render(std::int16_t* out, std::size_t frames, Time now);

  private:
    struct Voice {
        std::shared_ptr<const Samples> sound;
        std::size_t next = 0;
        bool playing = false;
        std::int64_t startFrame = 0;
        Time startTime{};
    };

    std::mutex lock_;
    std::vector<Voice> voices_;
    std::vector<std::int32_t> sum_;
};

} // namespace kestrada::sound
