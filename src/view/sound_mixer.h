// SPDX-License-Identifier: GPL-3.0-or-later
// The voices that the sound output plays, one per player, summed into one
// stream. The players call it on the window's thread, the output renders
// on its own thread: every member takes the one lock, briefly.
#pragma once

#include "view/wave_data.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <mutex>
#include <vector>

namespace kestrada::view {

class SoundMixer {
  public:
    // A new voice, silent until started; the number names it from now on.
    int addVoice();
    // Plays the sound from the given frame on; a running voice jumps there.
    void start(int voice, std::shared_ptr<const Samples> sound, std::int64_t frame);
    void stop(int voice);
    // Fills out with the next frames of every playing voice added together,
    // clipped to the 16-bit range; silence where nothing plays.
    void render(std::int16_t* out, std::size_t frames);

  private:
    struct Voice {
        std::shared_ptr<const Samples> sound;
        std::size_t next = 0;
        bool playing = false;
    };

    std::mutex lock_;
    std::vector<Voice> voices_;
    std::vector<std::int32_t> sum_;
};

} // namespace kestrada::view
