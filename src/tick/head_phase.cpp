// SPDX-License-Identifier: GPL-3.0-or-later
#include "tick/head_phase.h"

#include "numeric.h"
#include "sound/sound_player.h"
#include "weapons/weapon_flight.h"

#include <cmath>
#include <string>

namespace kestrada {

namespace {
// The music waits for the start jingle (75 ticks, about 3 s) unless the
// jingle is switched off.
void startMusicWhenDue(Form& f) {
    const bool effects = f.mnuEffects.Checked;
    const bool due = (f.TickCount < 75 && !effects) || f.TickCount == 75;
    if (!due || f.MusicPlaying) {
        return;
    }
    f.sndStart->stop();
    if (!f.lblPaused().Visible) {
        f.sndMusic->stop();
        f.sndMusic->setPosition(0);
        if (f.mnuMusic.Checked) {
            f.sndMusic->play();
            f.MusicPlaying = true;
        }
    }
}

// Each own speed drifts back to its cruising value by 1 per tick.
void relaxToward(int32_t& speed, int32_t target) {
    if (speed > target) {
        speed -= 1;
    }
    if (speed < target) {
        speed += 1;
    }
}

void moveMedian(Form& f) {
    Control& median = f.picSplit();
    const Control& road = f.imgRoad();
    if (std::fmod(roundHalfEven(f.Score), 4000.0) < 500 && !median.Visible) {
        median.Visible = true;
        median.Top = single(double(road.Top) - median.Height);
    }
    if (f.Speed > 0 && median.Visible) {
        median.Top = single(double(median.Top) + f.Speed);
    }
    if (single(double(road.Top) + road.Height) < median.Top) {
        median.Top = single(double(road.Top) - median.Height);
        median.Visible = false;
    }
}
} // namespace

void headPhase(Form& f) {
    f.lblSpeed().Caption = std::to_string(f.Speed * 6);
    f.imgCar().Left = f.picCar().Left;
    f.imgCar().Top = f.picCar().Top;
    startMusicWhenDue(f);
    weaponCleanUp(f);
    f.TickCount += 1;
    f.RandomRoll = toInt16(int(Int(f.Rnd() * 20.0)) + 1);
    f.Civ1Bumped = 0;
    f.Civ2Bumped = 0;
    relaxToward(f.Civ1Speed, 30);
    relaxToward(f.Civ2Speed, 10);
    relaxToward(f.HogSpeed, 20);
    moveMedian(f);
}

} // namespace kestrada
