// SPDX-License-Identifier: GPL-3.0-or-later
// Wrecks ride down with the road until they drop off the bottom. A vehicle
// that runs into another's wreck crashes; the player's car dies on a
// civilian car's wreck and passes over the others.
#include "hazards/wrecks.h"

#include "app/overlap.h"
#include "app/vehicles.h"
#include "numeric.h"

#include <array>

namespace kestrada {

namespace {

struct WreckTest {
    ControlId vehicle;
    ControlId obstacle;
    ControlId ownWreck;
};

// In this order: a wreck made by one test is already there for the next.
constexpr std::array<WreckTest, 7> kVehicleTests = {{
    {ControlId::imgCiv1, ControlId::imgCiv2Crash, ControlId::imgCiv1Crash},
    {ControlId::imgCiv2, ControlId::imgCiv1Crash, ControlId::imgCiv2Crash},
    {ControlId::imgMs, ControlId::imgCiv1Crash, ControlId::imgMdead},
    {ControlId::imgMs, ControlId::imgCiv2Crash, ControlId::imgMdead},
    {ControlId::imgMs, ControlId::imgHogCrash, ControlId::imgMdead},
    {ControlId::imgCiv1, ControlId::imgHogCrash, ControlId::imgCiv1Crash},
    {ControlId::imgCiv2, ControlId::imgHogCrash, ControlId::imgCiv2Crash},
}};

constexpr std::array<ControlId, 2> kDeadlyToThePlayer = {ControlId::imgCiv1Crash,
                                                         ControlId::imgCiv2Crash};

} // namespace

void wreckScrollPhase(Form& f) {
    const float roadBottom = f.imgRoad().Height;
    for (ControlId id : {ControlId::imgCiv1Crash, ControlId::imgCiv2Crash, ControlId::imgHogCrash,
                         ControlId::imgMdead}) {
        Control& wreck = f.control(id);
        if (!wreck.Visible) {
            continue;
        }
        wreck.Top = single(double(f.Speed) + wreck.Top);
        if (wreck.Top >= roadBottom) {
            wreck.Visible = false;
        }
    }
}

PhaseResult wreckCollisionPhase(Form& f) {
    for (const WreckTest& test : kVehicleTests) {
        Control& vehicle = f.control(test.vehicle);
        const Control& obstacle = f.control(test.obstacle);
        if (vehicle.Visible && obstacle.Visible && overlaps(vehicle, obstacle)) {
            crash(f, vehicle, f.control(test.ownWreck), 50);
        }
    }
    // The car dies here even while its hit box is hidden on the verge.
    for (ControlId id : kDeadlyToThePlayer) {
        const Control& wreck = f.control(id);
        if (wreck.Visible && overlaps(f.picCar(), wreck)) {
            f.Die();
            return PhaseResult::EndTick;
        }
    }
    return PhaseResult::Continue;
}

} // namespace kestrada
