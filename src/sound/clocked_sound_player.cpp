// SPDX-License-Identifier: GPL-3.0-or-later
#include "sound/clocked_sound_player.h"

#include "sound/wave_data.h"

namespace kestrada::sound {

ClockedSoundPlayer::ClockedSoundPlayer(SoundMixer& mixer)
    : mixer_(mixer), voice_(mixer.addVoice()) {}

ClockedSoundPlayer::~ClockedSoundPlayer() {
    mixer_.setOnEnded(voice_, {});
    mixer_.setSound(voice_, nullptr);
}

void ClockedSoundPlayer::load(const std::string& path) {
    mixer_.setSound(voice_, readWave(path));
}

void ClockedSoundPlayer::play() {
    if (mixer_.play(voice_) && onStarted_) {
        onStarted_();
    }
}

void ClockedSoundPlayer::stop() {
    mixer_.stop(voice_);
}

void ClockedSoundPlayer::setPosition(long position) {
    mixer_.seek(voice_, static_cast<std::int64_t>(position) * kOutputRate / 1000);
}

int ClockedSoundPlayer::mode() const {
    return mixer_.playing(voice_) ? kModePlaying : kModeStopped;
}

long ClockedSoundPlayer::positionMs() const {
    return static_cast<long>(mixer_.place(voice_) * 1000 / kOutputRate);
}

void ClockedSoundPlayer::setOnEnded(std::function<void()> onEnded) {
    mixer_.setOnEnded(voice_, std::move(onEnded));
}

} // namespace kestrada::sound
