// SPDX-License-Identifier: GPL-3.0-or-later
// The game's one audio stream through Qt: the mixer's voices played on the
// default audio device by a thread of its own, so that neither a slow
// sound server nor a busy frame delays the other. With no device, or a
// device that fails, the game plays on silently after one line on stderr
// and the voices follow the steady clock.
#pragma once

#include "sound/sound_device.h"
#include "sound/sound_mixer.h"

#include <QObject>
#include <QThread>
#include <condition_variable>
#include <mutex>

namespace kestrada::desktop {

// A QAudioSink fed from the mixer every 10 ms on the device's own thread.
class QtSoundDevice : public sound::SoundDevice {
  public:
    explicit QtSoundDevice(sound::SoundMixer& mixer);
    ~QtSoundDevice() override;
    QtSoundDevice(const QtSoundDevice&) = delete;
    QtSoundDevice& operator=(const QtSoundDevice&) = delete;

    void start() override;
    bool waitUntilRunning(std::chrono::milliseconds limit) override;

  private:
    void settled(bool running);

    sound::SoundMixer& mixer_;
    QThread thread_;
    std::mutex lock_;
    std::condition_variable settledChanged_;
    bool settled_ = false;
    bool running_ = false;
};

// The mixer, its device, and the way ends of playback reach the window's
// thread: queued there, so they arrive between ticks. Made before the game
// loads: it opens the device and waits, at most about 2 s, for the stream
// to run, so that the first sound the game plays is heard whole.
class SoundOutput {
  public:
    SoundOutput();
    SoundOutput(const SoundOutput&) = delete;
    SoundOutput& operator=(const SoundOutput&) = delete;

    sound::SoundMixer& mixer() { return mixer_; }

  private:
    QObject delivery_; // on the thread that made the output
    sound::SoundMixer mixer_;
    QtSoundDevice device_;
};

} // namespace kestrada::desktop
