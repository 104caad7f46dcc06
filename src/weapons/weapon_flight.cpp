// SPDX-License-Identifier: GPL-3.0-or-later
// One shot at a time: Space only takes aim, and the first weapon phase after
// it decides from the selected weapon whether a missile or a mine goes out.
// The assignments below keep their order: the re-parking reads positions
// that the same branch has just written.
#include "weapons/weapon_flight.h"

#include "numeric.h"

namespace kestrada {

namespace {
// Pixels per tick, in window coordinates.
constexpr double kMissileClimb = 25;
// How fast a mine slides back along the road.
constexpr double kMineDrift = 2;

float plus(float a, double b) {
    return single(double(a) + b);
}

void selectMissiles(Form& f) {
    Control& missileGo = f.imgMissileGo();
    Control& mine = f.imgMine();
    const Control& car = f.picCar();
    f.ShowMissile().Visible = true;
    f.ShowMine().Visible = false;
    if (f.MissileInFlight == 1) {
        if (!mine.Visible) {
            missileGo.Visible = true;
            f.imgMissile().Visible = false;
            missileGo.Top = plus(missileGo.Top, -kMissileClimb);
        }
        // A mine laid before the switch to missiles keeps drifting.
        if (mine.Visible) {
            mine.Top = single(double(mine.Top) + kMineDrift + f.Speed);
        } else {
            mine.Top = car.Top;
            mine.Left = car.Left;
        }
        return;
    }
    Control& missile = f.imgMissile();
    missile.Left = plus(car.Left, 5);
    missile.Top = plus(car.Top, 10);
    missile.Visible = false;
    missileGo.Visible = false;
    mine.Visible = false;
    mine.Top = car.Top;
    mine.Left = car.Left;
}

void selectMines(Form& f) {
    Control& missile = f.imgMissile();
    Control& missileGo = f.imgMissileGo();
    Control& mine = f.imgMine();
    const Control& car = f.picCar();
    f.ShowMissile().Visible = false;
    f.ShowMine().Visible = true;
    if (f.MissileInFlight == 1) {
        if (!missileGo.Visible) {
            mine.Visible = true;
            mine.Top = single(double(f.Speed) + mine.Top + kMineDrift);
        }
        // A missile fired before the switch to mines finishes its climb.
        if (missileGo.Visible) {
            missileGo.Top = plus(missileGo.Top, -kMissileClimb);
        } else {
            missile.Top = plus(car.Top, 10);
            missile.Left = plus(car.Left, 5);
            missileGo.Top = car.Top;
            missileGo.Left = plus(car.Left, 5);
        }
        return;
    }
    mine.Visible = false;
    mine.Top = car.Top;
    mine.Left = car.Left;
    missile.Top = plus(car.Top, 10);
    missile.Left = plus(car.Left, 5);
    missileGo.Top = car.Top;
    missileGo.Visible = false;
    missile.Visible = false;
    missileGo.Left = plus(car.Left, 5);
}
} // namespace

void weaponCleanUp(Form& f) {
    Control& missileGo = f.imgMissileGo();
    // Tested every tick, shot or no shot: a Top of exactly 0 is still flying.
    if (missileGo.Top < 0) {
        f.MissileInFlight = 0;
        missileGo.Top = f.imgMissile().Top;
        missileGo.Left = f.imgMissile().Left;
        missileGo.Visible = false;
    }
    Control& mine = f.imgMine();
    const Control& road = f.imgRoad();
    if (mine.Top > plus(road.Top, road.Height)) {
        mine.Visible = false;
        mine.Top = f.picCar().Top;
        mine.Left = f.picCar().Left;
        f.MissileInFlight = 0;
    }
}

void weaponPhase(Form& f) {
    // Any other choice leaves the weapons alone; the keys only store 1 or 2.
    if (f.WeaponChoice == 1) {
        selectMissiles(f);
    } else if (f.WeaponChoice == 2) {
        selectMines(f);
    }
}

} // namespace kestrada
