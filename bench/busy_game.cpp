// SPDX-License-Identifier: GPL-3.0-or-later
#include "busy_game.h"

#include "app/key_codes.h"

namespace kestrada::bench {

namespace {
bool busy(const Form& f) {
    return traffic(f) >= 2 && f.CratersInPlay > 0 && f.MissileInFlight == 1 && f.Speed > 0 &&
           !f.GameOver;
}

// A crash in the benchmark must not write the high-score file.
constexpr const char* kUnbeatable = "999999999999";
} // namespace

int traffic(const Form& f) {
    return f.imgCiv1().Visible + f.imgCiv2().Visible + f.imgHog().Visible + f.imgMs().Visible;
}

void fireWhenReady(Form& f) {
    if (f.MissileInFlight != 1) {
        f.Form_KeyDown(kKeySpace);
    }
}

BusyGame& BusyGame::instance() {
    static BusyGame game;
    return game;
}

BusyGame::BusyGame() {
    Form& f = game_.form;
    f.lblHighScore().Caption = kUnbeatable;
    f.Form_KeyDown(kKeyUp);
    // -1: waiting to reach speed on the verge; then ticks left to steer.
    int steering = -1;
    for (ticksToFind_ = 0; ticksToFind_ < 200000; ++ticksToFind_) {
        if (f.GameOver) {
            f.Form_KeyDown(kKeyEnter);
            f.lblHighScore().Caption = kUnbeatable;
            steering = -1;
        }
        if (steering == -1 && f.Speed >= 5) {
            f.Form_KeyDown(kKeyLeft);
            steering = 7;
        }
        if (steering > 0 && --steering == 0) {
            f.Form_KeyUp(kKeyLeft);
        }
        fireWhenReady(f);
        game_.tick();
        if (busy(f)) {
            break;
        }
    }
    game_.soundLog.clear();
    busyState_ = f;
}

} // namespace kestrada::bench
