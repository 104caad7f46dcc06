// SPDX-License-Identifier: GPL-3.0-or-later
// What the game asks of a sound player. The game never checks a result: a
// player whose file is missing or unplayable simply stays silent.
#pragma once

#include <string>

namespace kestrada {

inline constexpr int kModeStopped = 525;
inline constexpr int kModePlaying = 526;

class SoundPlayer {
  public:
    virtual ~SoundPlayer() = default;
    virtual void load(const std::string& path) = 0;
    // Starts from the current position without blocking the game.
    virtual void play() = 0;
    // Stops at once and keeps the position.
    virtual void stop() = 0;
    virtual void setPosition(long position) = 0;
    virtual int mode() const = 0;
};

} // namespace kestrada
