// SPDX-License-Identifier: GPL-3.0-or-later
// One frame of the game: sixteen phases in a fixed order. A phase that ends
// the game ends the tick at once; no later phase runs.
#include "hazards/craters.h"
#include "hazards/median.h"
#include "hazards/road_markers.h"
#include "hazards/wrecks.h"
#include "tick/head_phase.h"
#include "tick/player_car.h"
#include "tick/score_display.h"
#include "traffic/civilian_cars.h"
#include "traffic/motorcycle.h"
#include "traffic/road_hog.h"
#include "traffic/vehicle_collisions.h"
#include "weapons/weapon_flight.h"
#include "weapons/weapon_hits.h"

namespace kestrada {

void Form::tmrMain_Timer() {
    headPhase(*this);
    civilianCarPhase(*this, CivilianCar::One);
    civilianCarPhase(*this, CivilianCar::Two);
    if (roadHogPhase(*this) == PhaseResult::EndTick) {
        return;
    }
    motorcyclePhase(*this);
    vehicleCollisionPhase(*this);
    weaponHitPhase(*this);
    if (playerMedianPhase(*this) == PhaseResult::EndTick) {
        return;
    }
    weaponPhase(*this);
    // Nothing on the road moves or appears while the car stands.
    if (Speed > 0) {
        craterPhase(*this);
        markerPhase(*this);
        wreckScrollPhase(*this);
    }
    if (wreckCollisionPhase(*this) == PhaseResult::EndTick) {
        return;
    }
    if (playerCraterPhase(*this) == PhaseResult::EndTick) {
        return;
    }
    playerCarPhase(*this);
    scorePhase(*this);
}

} // namespace kestrada
