// SPDX-License-Identifier: GPL-3.0-or-later
#include "tick/player_car.h"

#include "app/road_geometry.h"
#include "numeric.h"

namespace kestrada {

namespace {
bool offTheSurface(const Form& f) {
    const double width = f.imgRoad().Width;
    return f.picCar().Left <= roadway::across(width, roadway::kAsphaltLeft) ||
           f.picCar().Left >= roadway::across(width, roadway::kAsphaltRight);
}

// Off the asphalt the car loses speed and cannot accelerate past 5; the car
// is then drawn by its picture alone, so no hit box shows on the verge.
void slowOffTheSurface(Form& f) {
    f.OffRoad = false;
    if (f.Speed <= 0) {
        return;
    }
    if (offTheSurface(f)) {
        if (f.Speed > 5) {
            f.Speed -= 1;
        }
        if (f.Speed > 4) {
            f.OffRoad = true;
        }
        if (f.UpHeld != 1) {
            f.Speed -= 1;
        }
        f.imgCar().Visible = true;
        f.picCar().Visible = false;
    } else {
        f.picCar().Visible = true;
        f.imgCar().Visible = false;
    }
}

void applyPedals(Form& f) {
    if (!f.OffRoad && f.UpHeld == 1) {
        f.Speed += 1;
    }
    if (f.DownHeld == 1) {
        f.Speed -= 1;
    }
    const double width = f.imgRoad().Width;
    if (f.Speed > 5 && f.picCar().Left <= roadway::across(width, roadway::kRumbleLeft)) {
        f.Speed -= 1;
    }
    if (f.Speed > 5 && f.picCar().Left >= roadway::across(width, roadway::kRumbleRight)) {
        f.Speed -= 1;
    }
    if (f.Speed > 25) {
        f.Speed = 25;
    }
    if (f.Speed < 0) {
        f.Speed = 0;
    }
}

// The faster the car goes, the higher it sits on the screen.
void setHeight(Form& f) {
    if (f.Speed != f.PrevSpeed) {
        const Control& road = f.imgRoad();
        f.picCar().Top = single(road.Height * roadway::kRestHeight + road.Top - 5.0 * f.Speed);
    }
    f.PrevSpeed = f.Speed;
}

void steer(Form& f) {
    if (f.Speed > 0 && f.LeftHeld == 1) {
        f.picCar().Left = single(double(f.picCar().Left) - f.Speed);
    }
    if (f.Speed > 0 && f.RightHeld == 1) {
        f.picCar().Left = single(double(f.picCar().Left) + f.Speed);
    }
}
} // namespace

void playerCarPhase(Form& f) {
    slowOffTheSurface(f);
    applyPedals(f);
    setHeight(f);
    steer(f);
    f.PrevRightHeld = f.RightHeld;
    f.PrevLeftHeld = f.LeftHeld;
}

} // namespace kestrada
