// SPDX-License-Identifier: GPL-3.0-or-later
// What every other vehicle does alike: it enters in a random lane, crashes
// into craters and leaves its wreck, is set down on a verge when pushed off
// the road, and leaves by the top or bottom edge.
#pragma once

#include "app/form.h"
#include "app/overlap.h"
#include "app/road_geometry.h"

namespace kestrada {

// The player is paid for a crash by their speed: the whole reward at top
// speed, nothing at a standstill.
inline void payForCrash(Form& f, double reward) {
    f.Score = double(f.Speed) / 25.0 * reward + f.Score;
}

// The wreck takes the vehicle's place and the vehicle leaves play in the
// same step.
inline void crash(Form& f, Control& vehicle, Control& wreck, double reward) {
    payForCrash(f, reward);
    wreck.Left = vehicle.Left;
    wreck.Top = vehicle.Top;
    wreck.Visible = true;
    vehicle.Visible = false;
}

// Draws one random number and puts the vehicle in that lane.
inline void rollLane(Form& f, Control& vehicle) {
    const float r = f.Rnd();
    vehicle.Left = roadway::laneLeft(f.imgRoad(), vehicle.Width, r);
}

// Crashes the vehicle into the first crater it touches, if any.
inline bool crashedIntoCrater(Form& f, Control& vehicle, Control& wreck, double reward) {
    if (!(f.CratersInPlay > 0)) {
        return false;
    }
    for (f.CraterIndex = 0; f.CraterIndex <= 1; ++f.CraterIndex) {
        if (touchesCrater(vehicle, f.imgCrater(f.CraterIndex))) {
            crash(f, vehicle, wreck, reward);
            return true;
        }
    }
    return false;
}

// A vehicle pushed off the road is set down on the verge it crossed.
inline void setOnVerge(Control& vehicle, double roadWidth) {
    if (roadway::across(roadWidth, roadway::kPushedOffLeft) > vehicle.Left) {
        vehicle.Left = roadway::across(roadWidth, roadway::kVergeLeft);
    }
    if (roadway::across(roadWidth, roadway::kPushedOffRight) < vehicle.Left) {
        vehicle.Left = roadway::across(roadWidth, roadway::kVergeRight);
    }
}

// Still off the road after setOnVerge: the verge is past the line.
inline bool offTheRoad(const Control& vehicle, double roadWidth) {
    return roadway::across(roadWidth, roadway::kPushedOffRight) < vehicle.Left ||
           roadway::across(roadWidth, roadway::kPushedOffLeft) > vehicle.Left;
}

inline void leaveByTopOrBottom(const Control& road, Control& vehicle) {
    if (vehicle.Top >= road.Height || single(double(road.Top) - vehicle.Height) >= vehicle.Top) {
        vehicle.Visible = false;
    }
}

} // namespace kestrada
