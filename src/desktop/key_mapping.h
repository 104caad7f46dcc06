// SPDX-License-Identifier: GPL-3.0-or-later
// Turns Qt key events into what the game hears: a key-down or key-up with
// the platform's virtual key code.
#pragma once

#include <QKeyEvent>
#include <cstdint>
#include <optional>

namespace kestrada::desktop {

// The virtual key code of a Qt key, or nothing for keys the game has no
// code for. Digits of the numeric keypad are deliberately not the digits of
// the main keyboard.
std::optional<int16_t> virtualKeyCode(int qtKey, Qt::KeyboardModifiers modifiers);

// The game's code for one key event. The weapon keys "1" and "2" are the
// main keyboard's top-row keys wherever the platform names physical keys:
// Shift+1 types "!" and the same key types "&" on AZERTY, and both still
// choose missiles.
std::optional<int16_t> gameKeyCode(const QKeyEvent& event);

struct GameKey {
    bool down = true;
    int16_t code = 0;
    // A held key arrives as repeated press/release pairs; the session
    // decides what a repeat means.
    bool repeat = false;
};

// One key press or release as the session hears it.
std::optional<GameKey> gameKeyFor(const QKeyEvent& event);

// Keys the game plays with, which no shortcut may take from it.
bool isPlayKey(const QKeyEvent& event);

bool isArrow(int16_t code);

} // namespace kestrada::desktop
