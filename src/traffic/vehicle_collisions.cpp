// SPDX-License-Identifier: GPL-3.0-or-later
// Vehicles that touch: the civilian cars wreck each other, the hog wrecks
// whatever it meets and drives on, the motorcycle always loses. Each pair
// sees the road as the pairs before it left it.
#include "traffic/vehicle_collisions.h"

#include "app/overlap.h"
#include "app/vehicles.h"

namespace kestrada {

namespace {

constexpr double kReward = 50;

bool collide(const Control& a, const Control& b) {
    return a.Visible && b.Visible && overlaps(a, b);
}

} // namespace

void vehicleCollisionPhase(Form& f) {
    if (collide(f.imgCiv1(), f.imgCiv2())) {
        crash(f, f.imgCiv1(), f.imgCiv1Crash(), kReward);
        crash(f, f.imgCiv2(), f.imgCiv2Crash(), kReward);
    }
    if (collide(f.imgCiv1(), f.imgHog())) {
        crash(f, f.imgCiv1(), f.imgCiv1Crash(), kReward);
    }
    if (collide(f.imgCiv2(), f.imgHog())) {
        crash(f, f.imgCiv2(), f.imgCiv2Crash(), kReward);
    }
    if (collide(f.imgMs(), f.imgHog())) {
        crash(f, f.imgMs(), f.imgMdead(), kReward);
    }
    if (collide(f.imgMs(), f.imgCiv1())) {
        crash(f, f.imgMs(), f.imgMdead(), kReward);
    }
    if (collide(f.imgMs(), f.imgCiv2())) {
        crash(f, f.imgMs(), f.imgMdead(), kReward);
    }
}

} // namespace kestrada
