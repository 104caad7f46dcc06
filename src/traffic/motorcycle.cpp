// SPDX-License-Identifier: GPL-3.0-or-later
// The motorcycle rides up the road faster than the player, swerves away
// from craters ahead and loses every collision it has.
#include "traffic/motorcycle.h"

#include "app/vehicles.h"

namespace kestrada {

namespace {

constexpr double kReward = 50;

// The leaning pictures are never shown, but a shown one would still hold
// the motorcycle back.
bool mayEnter(const Form& f) {
    return f.TickCount % 17 == 0 && f.RandomRoll < 15 && !f.imgMdead().Visible &&
           !f.imgMs().Visible && !f.imgMl().Visible && !f.imgMr().Visible;
}

// Car 1 blocks a lane even while hidden, from where it was last parked.
bool laneBlocked(const Form& f) {
    const Control& ms = f.imgMs();
    return (f.picSplit().Visible && clashesHorizontally(ms, f.picSplit())) ||
           clashesHorizontally(ms, f.imgCiv1());
}

void enter(Form& f) {
    if (!mayEnter(f)) {
        return;
    }
    Control& ms = f.imgMs();
    const Control& road = f.imgRoad();
    f.MotorcycleSpeed = 25;
    ms.Top = single(double(road.Top) + road.Height);
    do {
        rollLane(f, ms);
    } while (laneBlocked(f));
    ms.Visible = true;
}

bool craterAhead(const Control& ms, const Control& crater) {
    return crater.Visible && ms.Left < single(double(crater.Left) + crater.Width) &&
           single(double(ms.Left) + ms.Width) > crater.Left &&
           single(double(crater.Top) + crater.Height) < ms.Top;
}

// It swerves away from the player's side; level with the car it cannot.
void swerveFromCraters(Form& f) {
    if (!(f.CratersInPlay > 0)) {
        return;
    }
    Control& ms = f.imgMs();
    const Control& car = f.picCar();
    for (f.CraterIndex = 0; f.CraterIndex <= 1; ++f.CraterIndex) {
        if (!craterAhead(ms, f.imgCrater(f.CraterIndex))) {
            continue;
        }
        if (single(double(car.Left) + car.Width) < ms.Left) {
            ms.Left = single(double(ms.Left) + 5);
        }
        if (single(double(ms.Left) + ms.Width) < car.Left) {
            ms.Left = single(double(ms.Left) - 5);
        }
    }
}

} // namespace

void motorcyclePhase(Form& f) {
    Control& ms = f.imgMs();
    const Control& median = f.picSplit();
    enter(f);
    if (median.Visible && ms.Visible && overlaps(ms, median) &&
        single(double(median.Top) + median.Height) > 0) {
        crash(f, ms, f.imgMdead(), kReward);
    }
    // Running the motorcycle down costs the player nothing.
    if (ms.Visible && overlaps(ms, f.picCar())) {
        crash(f, ms, f.imgMdead(), kReward);
    }
    if (!ms.Visible) {
        return;
    }
    ms.Top = single(double(ms.Top) - f.MotorcycleSpeed + f.Speed);
    swerveFromCraters(f);
    if (crashedIntoCrater(f, ms, f.imgMdead(), kReward)) {
        return;
    }
    // Unlike the cars it is only held at the edges, never wrecked there.
    setOnVerge(ms, f.imgRoad().Width);
    leaveByTopOrBottom(f.imgRoad(), ms);
}

} // namespace kestrada
