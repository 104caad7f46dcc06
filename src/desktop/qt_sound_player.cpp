// SPDX-License-Identifier: GPL-3.0-or-later
#include "desktop/qt_sound_player.h"

#include "sound/sound_mixer.h"

#include <chrono>

namespace kestrada::desktop {

QtSoundPlayer::QtSoundPlayer(sound::SoundMixer* mixer, Clock clock, QObject* parent)
    : QObject(parent), mixer_(mixer),
      clock_(clock ? std::move(clock) : [] { return std::chrono::steady_clock::now(); }) {
    if (mixer_ != nullptr) {
        voice_ = mixer_->addVoice();
    }
    endTimer_.setSingleShot(true);
    endTimer_.setTimerType(Qt::PreciseTimer);
    connect(&endTimer_, &QTimer::timeout, this, [this] {
        settle();
        if (place_.playing(clock_())) {
            armEndTimer(); // a clock that runs slow
        }
    });
}

void QtSoundPlayer::load(const std::string& path) {
    stop();
    sound_ = sound::readWave(path);
    place_ = sound::PlaybackClock(sound_ ? static_cast<std::int64_t>(sound_->size()) : 0,
                                  sound::kOutputRate);
}

void QtSoundPlayer::settle() {
    if (place_.takeEnd(clock_())) {
        endTimer_.stop();
        if (mixer_ != nullptr) {
            mixer_->stop(voice_);
        }
        QMetaObject::invokeMethod(
            this,
            [this] {
                if (onEnded_) {
                    onEnded_();
                }
            },
            Qt::QueuedConnection);
    }
}

void QtSoundPlayer::armEndTimer() {
    const auto left = place_.endTime() - clock_();
    const auto ms = std::chrono::ceil<std::chrono::milliseconds>(left).count();
    endTimer_.start(static_cast<int>(std::max<decltype(ms)>(ms, 0)));
}

void QtSoundPlayer::play() {
    settle();
    const auto now = clock_();
    if (sound_ == nullptr || place_.playing(now)) {
        return;
    }
    place_.play(now);
    if (mixer_ != nullptr) {
        mixer_->start(voice_, sound_, place_.frame(now), now);
    }
    armEndTimer();
}

void QtSoundPlayer::stop() {
    settle();
    place_.stop(clock_());
    endTimer_.stop();
    if (mixer_ != nullptr) {
        mixer_->stop(voice_);
    }
}

void QtSoundPlayer::setPosition(long position) {
    settle();
    const auto now = clock_();
    place_.seek(static_cast<std::int64_t>(position) * sound::kOutputRate / 1000, now);
    if (place_.playing(now)) {
        if (mixer_ != nullptr) {
            mixer_->start(voice_, sound_, place_.frame(now), now);
        }
        armEndTimer();
    }
}

int QtSoundPlayer::mode() const {
    return place_.playing(clock_()) ? kModePlaying : kModeStopped;
}

qint64 QtSoundPlayer::positionMs() const {
    return place_.frame(clock_()) * 1000 / sound::kOutputRate;
}

} // namespace kestrada::desktop
