// SPDX-License-Identifier: GPL-3.0-or-later
// Keys only record what the player holds or asks for; the next tick acts.
#include "app/form.h"
#include "app/key_codes.h"

namespace kestrada {

void Form::Form_KeyDown(int16_t keyCode, int16_t /*shift*/) {
    if (keyCode == kKeyEnter && GameOver) {
        mnuNew_Click();
    }
    if (keyCode == kKeyEsc) {
        mnuPause_Click();
    }
    if (lblPaused().Visible) {
        return;
    }
    switch (keyCode) {
    case kKeyUp:
        UpHeld = 1;
        break;
    case kKeyDown:
        DownHeld = 1;
        break;
    case kKeyLeft:
        LeftHeld = 1;
        break;
    case kKeyRight:
        RightHeld = 1;
        break;
    case kKey1:
        WeaponChoice = 1;
        break;
    case kKey2:
        WeaponChoice = 2;
        break;
    case kKeySpace:
        // The launch only takes aim; the weapon phase decides what flies.
        if (MissileInFlight != 1) {
            MissileInFlight = 1;
            imgMissileGo().Top = imgMissile().Top;
            imgMissileGo().Left = imgMissile().Left;
        }
        break;
    default:
        break;
    }
}

// Releases are honoured even while paused, so no key stays stuck.
void Form::Form_KeyUp(int16_t keyCode, int16_t /*shift*/) {
    switch (keyCode) {
    case kKeyUp:
        UpHeld = 0;
        break;
    case kKeyDown:
        DownHeld = 0;
        break;
    case kKeyLeft:
        LeftHeld = 0;
        break;
    case kKeyRight:
        RightHeld = 0;
        break;
    default:
        break;
    }
}

} // namespace kestrada
