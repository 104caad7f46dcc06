// SPDX-License-Identifier: GPL-3.0-or-later
// The seam a front end fills in to make the mixer heard: a device that
// streams the mixer's frames to the speakers. Whatever it runs on (a thread
// of its own, an audio callback), it keeps to this:
//   - it hands the mixer's frames to its stream through render(), silence
//     included, in small chunks (about 10 ms), never far ahead of the
//     speakers: each frame rendered moves the voices by one;
//   - when its stream fails or stops taking frames for long, it calls
//     deviceStopped(), and from then on followClock() every few
//     milliseconds until it renders again;
//   - it never blocks the game's thread beyond waitUntilRunning().
#pragma once

#include <chrono>

namespace kestrada::sound {

class SoundDevice {
  public:
    virtual ~SoundDevice() = default;
    // Opens the output and starts streaming silence; returns at once.
    virtual void start() = 0;
    // Waits at most `limit` for the stream to take its first frames; true
    // if it runs. False at once when there is no device or it failed.
    virtual bool waitUntilRunning(std::chrono::milliseconds limit) = 0;
};

} // namespace kestrada::sound
