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

// The shift-state argument of the key handlers: 1 Shift, 2 Ctrl, 4 Alt.
int16_t shiftState(Qt::KeyboardModifiers modifiers);

struct GameKey {
    bool down = true;
    int16_t code = 0;
    int16_t shift = 0;
};

// What the game should hear of one key press or release. A held key arrives
// as repeated press/release pairs: a repeated release is not a release, so
// a held arrow reads 1 every tick; a repeated Esc or Enter is dropped, or
// holding Esc would flicker the pause on and off.
std::optional<GameKey> gameKeyFor(const QKeyEvent& event);

// Keys the game plays with, which no shortcut may take from it.
bool isPlayKey(const QKeyEvent& event);

bool isArrow(int16_t code);

} // namespace kestrada::desktop
