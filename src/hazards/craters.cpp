// SPDX-License-Identifier: GPL-3.0-or-later
#include "hazards/craters.h"

#include "app/overlap.h"
#include "app/road_geometry.h"
#include "numeric.h"

namespace kestrada {

namespace {
// More craters the further the player gets, but the odds grow very slowly.
bool craterDue(const Form& f) {
    return eighthRoot(f.Score) + 10 > f.RandomRoll && f.CratersInPlay < 2 && f.TickCount % 17 == 0;
}

// Every fourth chance punishes a player who hugs a verge by dropping the
// crater straight into that lane; otherwise it lands anywhere on the asphalt.
float craterLeft(Form& f, const Control& crater) {
    const Control& road = f.imgRoad();
    const float carLeft = f.picCar().Left;
    const bool laneTick = f.TickCount % 68 == 0;
    if (roadway::across(road.Width, roadway::kAsphaltRight) <= carLeft && laneTick) {
        return single(road.Width * roadway::kCraterLaneRight + road.Left);
    }
    if (roadway::across(road.Width, roadway::kAsphaltLeft) >= carLeft && laneTick) {
        return single(road.Width * roadway::kCraterLaneLeft + road.Left);
    }
    const double u = f.Rnd();
    return roadway::laneLeft(road, crater.Width, u);
}

void spawnCrater(Form& f) {
    f.CratersInPlay += 1;
    for (f.CraterIndex = 0; f.CraterIndex <= 1; ++f.CraterIndex) {
        Control& crater = f.imgCrater(f.CraterIndex);
        if (crater.Visible) {
            continue;
        }
        crater.Top = single(double(f.imgRoad().Top) - crater.Height);
        crater.Left = craterLeft(f, crater);
        crater.Visible = true;
        // A crater is never dug into the median: it goes to the median's
        // left side instead.
        const Control& median = f.picSplit();
        if (median.Visible && overlaps(median, crater)) {
            crater.Left = single(double(median.Left) - crater.Width);
        }
        return;
    }
}

void scrollCraters(Form& f) {
    if (f.CratersInPlay <= 0) {
        return;
    }
    for (f.CraterIndex = 0; f.CraterIndex <= 1; ++f.CraterIndex) {
        Control& crater = f.imgCrater(f.CraterIndex);
        if (!crater.Visible) {
            continue;
        }
        crater.Top = single(double(crater.Top) + f.Speed);
        if (crater.Top >= f.imgRoad().Height) {
            crater.Visible = false;
            f.CratersInPlay -= 1;
        }
    }
}
} // namespace

void craterPhase(Form& f) {
    if (craterDue(f)) {
        spawnCrater(f);
    }
    scrollCraters(f);
}

PhaseResult playerCraterPhase(Form& f) {
    if (f.CratersInPlay <= 0) {
        return PhaseResult::Continue;
    }
    for (f.CraterIndex = 0; f.CraterIndex <= 1; ++f.CraterIndex) {
        // The car's hit box counts even while only its picture is drawn.
        if (touchesCrater(f.picCar(), f.imgCrater(f.CraterIndex))) {
            f.Die();
            return PhaseResult::EndTick;
        }
    }
    return PhaseResult::Continue;
}

} // namespace kestrada
