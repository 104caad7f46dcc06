// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>

namespace kestrada {

// Virtual key codes of the keys the game reads.
enum KeyCode : int16_t {
    kKeyEnter = 13,
    kKeyEsc = 27,
    kKeySpace = 32,
    kKeyLeft = 37,
    kKeyUp = 38,
    kKeyRight = 39,
    kKeyDown = 40,
    kKey1 = 49,
    kKey2 = 50,
};

} // namespace kestrada
