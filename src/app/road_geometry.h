// SPDX-License-Identifier: GPL-3.0-or-later
// Where things stand across the road, as fractions of its width. A fraction
// is multiplied by the width in double and rounded once to single, like
// every position the tick compares.
#pragma once

#include "app/controls.h"
#include "numeric.h"

namespace kestrada::roadway {

// Vehicles and craters enter in a lane drawn at random: from this fraction
// of the width, across this many pixels less their own width.
inline constexpr double kLanesLeft = 0.2;
inline constexpr double kLanesSpan = 290.0;

// Traffic drives only inside this band; outside it, it stands still on the
// screen and drifts back.
inline constexpr double kBandLeft = 0.2;
inline constexpr double kBandRight = 0.75;

// A vehicle pushed left of kPushedOffLeft or right of kPushedOffRight is set
// down on the verge at kVergeLeft or kVergeRight.
inline constexpr double kPushedOffLeft = 0.15;
inline constexpr double kPushedOffRight = 0.8;
inline constexpr double kVergeLeft = 0.14;
inline constexpr double kVergeRight = 0.81;

// Car 1 swerves away from a crater only right of this, car 2 only left of
// the other; the road hog closes in leftwards only right of the first.
inline constexpr double kCar1SwerveRoom = 0.21;
inline constexpr double kCar2SwerveRoom = 0.74;
inline constexpr double kHogLeftmost = 0.21;

// The player's car: beyond these it is off the asphalt, beyond the next
// pair it also brakes, and on the verges it dies.
inline constexpr double kAsphaltLeft = 0.199;
inline constexpr double kAsphaltRight = 0.751;
inline constexpr double kRumbleLeft = 0.18;
inline constexpr double kRumbleRight = 0.77;
inline constexpr double kDeadlyLeft = 0.14;
inline constexpr double kDeadlyRight = 0.81;

// A player hugging a verge gets craters dropped into these lanes.
inline constexpr double kCraterLaneLeft = 0.171;
inline constexpr double kCraterLaneRight = 0.776;

// The player's car starts at this fraction of the width (plus 2 pixels)
// and rests at this fraction of the height at a standstill.
inline constexpr double kStartLeft = 0.8;
inline constexpr double kRestHeight = 0.75;

// The centre-line dashes.
inline constexpr double kCentreLine = 0.4948;

// A fraction of the road's width as a position.
inline float across(double width, double fraction) {
    return single(width * fraction);
}

// The Left of a lane drawn with the random number r for a sprite this wide.
inline float laneLeft(const Control& road, float spriteWidth, double r) {
    return single(Int((kLanesSpan - spriteWidth) * r) +
                  (double(road.Width) * kLanesLeft + road.Left));
}

} // namespace kestrada::roadway
