// SPDX-License-Identifier: GPL-3.0-or-later
// Mines and missiles against the other vehicles and their wrecks. Every hit
// hides the weapon that made it, so each later test sees a spent weapon and
// a weapon strikes at most one thing per tick.
#include "weapons/weapon_hits.h"

#include "app/overlap.h"
#include "app/vehicles.h"
#include "numeric.h"

#include <array>

namespace kestrada {

namespace {
struct Target {
    ControlId vehicle;
    ControlId wreck;
    // The motorcycle burns out without a blast when a missile takes it.
    bool blastOnMissileHit;
};

// Car 2 comes before the hog: a shot over both takes the car.
constexpr std::array<Target, 4> kTargets = {{
    {ControlId::imgCiv1, ControlId::imgCiv1Crash, true},
    {ControlId::imgCiv2, ControlId::imgCiv2Crash, true},
    {ControlId::imgHog, ControlId::imgHogCrash, true},
    {ControlId::imgMs, ControlId::imgMdead, false},
}};

constexpr double kMineReward = 25;
constexpr double kMissileReward = 75;

bool strikes(const Control& weapon, const Control& target) {
    return weapon.Visible && target.Visible && overlaps(weapon, target);
}

void blastAbove(Form& f, const Control& vehicle) {
    f.imgBoom().Left = vehicle.Left;
    f.imgBoom().Top = single(double(vehicle.Top) - vehicle.Height);
}

void leaveWreck(const Control& vehicle, Control& wreck) {
    wreck.Top = vehicle.Top;
    wreck.Left = vehicle.Left;
    wreck.Visible = true;
}

// The missile goes back to the front of the player's car.
void reloadMissile(Form& f) {
    Control& missileGo = f.imgMissileGo();
    missileGo.Top = f.picCar().Top;
    missileGo.Left = single(double(f.picCar().Left) + 5);
}

void mineHit(Form& f, Control& vehicle, Control& wreck) {
    Control& mine = f.imgMine();
    payForCrash(f, kMineReward);
    vehicle.Visible = false;
    mine.Visible = false;
    mine.Top = single(double(f.picCar().Top) + f.picCar().Height);
    mine.Left = f.picCar().Left;
    f.imgMissile().Visible = true;
    leaveWreck(vehicle, wreck);
    blastAbove(f, vehicle);
    f.MissileInFlight = 0;
}

void missileHit(Form& f, const Target& t, Control& vehicle, Control& wreck) {
    payForCrash(f, kMissileReward);
    vehicle.Visible = false;
    f.imgMissileGo().Visible = false;
    reloadMissile(f);
    f.imgMissile().Visible = true;
    leaveWreck(vehicle, wreck);
    if (t.blastOnMissileHit) {
        blastAbove(f, vehicle);
    }
    f.MissileInFlight = 0;
}

// Clearing a wreck earns nothing. Car 2's wreck is also put back under the
// car's last place before it goes.
void wreckHit(Form& f, const Target& t, Control& wreck) {
    const bool isCar2 = t.wreck == ControlId::imgCiv2Crash;
    if (!isCar2) {
        wreck.Visible = false;
    }
    f.imgMissileGo().Visible = false;
    reloadMissile(f);
    f.imgMissile().Visible = true;
    if (isCar2) {
        wreck.Top = f.imgCiv2().Top;
        wreck.Left = f.imgCiv2().Left;
        wreck.Visible = false;
    }
    f.MissileInFlight = 0;
}
} // namespace

void weaponHitPhase(Form& f) {
    for (const Target& t : kTargets) {
        Control& vehicle = f.control(t.vehicle);
        Control& wreck = f.control(t.wreck);
        if (strikes(f.imgMine(), vehicle)) {
            mineHit(f, vehicle, wreck);
        }
        if (strikes(f.imgMissileGo(), vehicle)) {
            missileHit(f, t, vehicle, wreck);
        }
        if (strikes(f.imgMissileGo(), wreck)) {
            wreckHit(f, t, wreck);
        }
    }
}

} // namespace kestrada
