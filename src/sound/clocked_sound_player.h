// SPDX-License-Identifier: GPL-3.0-or-later
// One of the game's sound players: its wave file read once into memory, its
// voice and its place in the shared mixer. Its place moves with the sound
// the device plays, or with the steady clock when none plays, so the game
// hears of the end of a playback the same with a sound device or without.
#pragma once

#include "sound/sound_mixer.h"
#include "sound/sound_player.h"

#include <functional>

namespace kestrada::sound {

class ClockedSoundPlayer : public SoundPlayer {
  public:
    explicit ClockedSoundPlayer(SoundMixer& mixer);
    ~ClockedSoundPlayer() override;
    ClockedSoundPlayer(const ClockedSoundPlayer&) = delete;
    ClockedSoundPlayer& operator=(const ClockedSoundPlayer&) = delete;

    void load(const std::string& path) override;
    void play() override;
    void stop() override;
    // In milliseconds.
    void setPosition(long position) override;
    int mode() const override;

    // Milliseconds into the sound.
    long positionMs() const;

    // Called on the game's thread, between ticks, once for each playback
    // that ran to its end by itself (not on stop).
    void setOnEnded(std::function<void()> onEnded);
    // Called when a play call starts the sound (for the sound log).
    void setOnStarted(std::function<void()> onStarted) { onStarted_ = std::move(onStarted); }

  private:
    SoundMixer& mixer_;
    int voice_;
    std::function<void()> onStarted_;
};

} // namespace kestrada::sound
