// SPDX-License-Identifier: GPL-3.0-or-later
// A sound player that makes no sound: it keeps its mode and position and
// notes every call, so a game without speakers behaves like one with them.
#pragma once

#include "sound/sound_player.h"

#include <string>
#include <vector>

namespace kestrada {

class SilentSoundPlayer : public SoundPlayer {
  public:
    // Calls are noted as "<name>.<op>" in log, when one is given.
    explicit SilentSoundPlayer(std::string name, std::vector<std::string>* log = nullptr)
        : name_(std::move(name)), log_(log) {}

    void load(const std::string& path) override {
        path_ = path;
        note("load");
    }
    void play() override {
        mode_ = kModePlaying;
        note("play");
    }
    void stop() override {
        mode_ = kModeStopped;
        note("stop");
    }
    void setPosition(long position) override {
        position_ = position;
        note("setpos");
    }
    int mode() const override { return mode_; }

    // The music reached its end by itself: it stands stopped.
    void finish() { mode_ = kModeStopped; }

    const std::string& path() const { return path_; }
    long position() const { return position_; }

  private:
    void note(const char* op) {
        if (log_ != nullptr) {
            log_->push_back(name_ + "." + op);
        }
    }

    std::string name_;
    std::vector<std::string>* log_;
    std::string path_;
    long position_ = 0;
    int mode_ = kModeStopped;
};

} // namespace kestrada
