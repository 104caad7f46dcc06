// SPDX-License-Identifier: GPL-3.0-or-later
// The one audio stream of the game: the mixer's voices played through the
// default audio device. The device is opened and fed on a thread of its
// own, so that neither a slow sound server nor a busy frame delays the
// other. With no device, or a device that fails, the game plays on
// silently after one line on stderr; the players keep their own clocks.
#pragma once

#include "sound/sound_mixer.h"

#include <QThread>

namespace kestrada::desktop {

class SoundOutput {
  public:
    SoundOutput();
    ~SoundOutput();
    SoundOutput(const SoundOutput&) = delete;
    SoundOutput& operator=(const SoundOutput&) = delete;

    sound::SoundMixer& mixer() { return mixer_; }

  private:
    sound::SoundMixer mixer_;
    QThread thread_;
};

} // namespace kestrada::desktop
