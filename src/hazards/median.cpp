// SPDX-License-Identifier: GPL-3.0-or-later
#include "hazards/median.h"

#include "app/overlap.h"
#include "app/road_geometry.h"
#include "numeric.h"

namespace kestrada {

PhaseResult playerMedianPhase(Form& f) {
    const Control& car = f.picCar();
    const Control& median = f.picSplit();
    if (median.Visible && car.Visible && overlaps(car, median)) {
        f.Die();
        return PhaseResult::EndTick;
    }
    // Only the car's left side counts, on either edge of the road.
    const double width = f.imgRoad().Width;
    if (car.Left >= roadway::across(width, roadway::kDeadlyRight) ||
        car.Left <= roadway::across(width, roadway::kDeadlyLeft)) {
        f.Die();
        return PhaseResult::EndTick;
    }
    return PhaseResult::Continue;
}

} // namespace kestrada
