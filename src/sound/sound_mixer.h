// SPDX-License-Identifier: GPL-3.0-or-later
// The voices of the game's players, one each, summed into one stream, and
// where each stands in its sound. While a device plays the stream, a voice
// moves only by the frames handed to that device: a stall of the output
// makes the sound late, never shorter, and a voice ends when its last frame
// was handed out. With no device, or one that failed, voices follow the
// steady clock, so the game behaves the same with sound and without.
// The game's thread calls the players' side, the device its own side from
// wherever it runs: every member takes the one lock, briefly.
#pragma once

#include "sound/wave_data.h"

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <vector>

namespace kestrada::sound {

class SoundMixer {
  public:
    using Time = std::chrono::steady_clock::time_point;
    using Clock = std::function<Time()>;
    // Runs a function on the game's thread between ticks, called from any
    // thread: how a front end hands the players their ends of playback.
    using Post = std::function<void(std::function<void()>)>;

    // A voice that the device left waiting longer than this, from one
    // render to the next, skips what it missed: too late to be of use.
    // Shorter stalls make it late, however many there are.
    static constexpr std::int64_t kMaxLagFrames = kOutputRate / 4; // 250 ms

    // Without a clock, the steady clock.
    explicit SoundMixer(Post post = {}, Clock clock = {});

    // --- The players' side ---
    // A new voice, stopped with no sound; the number names it from now on.
    int addVoice();
    // Stops the voice and puts it at the start of `sound` (null: silence).
    void setSound(int voice, std::shared_ptr<const Samples> sound);
    // Called on the game's thread once for each playback that ran to its
    // end by itself (not on stop).
    void setOnEnded(int voice, std::function<void()> ended);
    // From its place; one that ran to its end starts over. True when this
    // call started it.
    bool play(int voice);
    // Keeps the place.
    void stop(int voice);
    void seek(int voice, std::int64_t frame);
    bool playing(int voice);
    std::int64_t place(int voice);
    // Reports the ends of playback not yet reported; the front end's Post
    // brings this call to the game's thread.
    void deliverEnds();

    // --- The device's side ---
    // Fills out with the next frames of every playing voice added together,
    // clipped to the 16-bit range; silence where nothing plays. A device
    // calls it for the frames it hands to its running stream, and only
    // these move the voices from then on.
    void render(std::int16_t* out, std::size_t frames);
    // The stream failed, or stopped taking frames: the clock takes over.
    void deviceStopped();
    // With no running device, notes the voices that reached their end by
    // the clock; whatever runs the output calls it every few milliseconds.
    void followClock();

  private:
    struct Voice {
        std::shared_ptr<const Samples> sound;
        std::function<void()> ended;
        bool playing = false;
        bool endDue = false;
        std::int64_t next = 0; // the place: the next frame to hand out
        // Where the voice stood at anchorTime (its play, seek, or last
        // render); the steady clock moves it on from there.
        std::int64_t anchorFrame = 0;
        Time anchorTime{};
    };

    Voice& voice(int number) { return voices_.at(static_cast<std::size_t>(number)); }
    std::int64_t clockPlace(const Voice& v, Time now) const;
    // Updates a playing voice's place by the clock and, past its end, stops
    // it there with its end due; true when it ended now.
    bool settle(Voice& v, Time now);
    void postEnds();

    Post post_;
    Clock clock_;
    std::mutex lock_;
    bool running_ = false;
    bool skipSaid_ = false;
    std::vector<Voice> voices_;
    std::vector<std::int32_t> sum_;
};

} // namespace kestrada::sound
