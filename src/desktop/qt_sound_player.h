// SPDX-License-Identifier: GPL-3.0-or-later
// One of the game's sound players: its wave file read once into memory,
// its place in the sound kept by a clock, its voice in the shared mixer.
// The end of a playback is found by that clock on the window's thread and
// reported there, queued, so the game sees it the same with a sound device
// or without one.
#pragma once

#include "sound/playback_clock.h"
#include "sound/sound_player.h"
#include "sound/wave_data.h"

#include <QObject>
#include <QTimer>
#include <functional>
#include <memory>

namespace kestrada::sound {
class SoundMixer;
}

namespace kestrada::desktop {

class QtSoundPlayer : public QObject, public SoundPlayer {
    Q_OBJECT

  public:
    using Clock = std::function<sound::PlaybackClock::Time()>;

    // Without a mixer the player is heard nowhere but keeps its clock;
    // without a clock it uses the steady clock.
    explicit QtSoundPlayer(sound::SoundMixer* mixer = nullptr, Clock clock = {},
                           QObject* parent = nullptr);

    void load(const std::string& path) override;
    void play() override;
    void stop() override;
    // In milliseconds.
    void setPosition(long position) override;
    int mode() const override;

    // Milliseconds into the sound.
    qint64 positionMs() const;

    // Called when a playback runs to its end by itself (not on stop).
    void setOnEnded(std::function<void()> onEnded) { onEnded_ = std::move(onEnded); }

  private:
    // Notes a playback that has run out, reporting it once.
    void settle();
    void armEndTimer();

    sound::SoundMixer* mixer_;
    Clock clock_;
    int voice_ = -1;
    std::shared_ptr<const sound::Samples> sound_;
    sound::PlaybackClock place_{0, sound::kOutputRate};
    QTimer endTimer_;
    std::function<void()> onEnded_;
};

} // namespace kestrada::desktop
