// SPDX-License-Identifier: GPL-3.0-or-later
// Both civilian cars run the same procedure; only the values in their table
// differ. Car 1 comes up from behind and overtakes, car 2 is overtaken.
#include "traffic/civilian_cars.h"

#include "app/vehicles.h"

namespace kestrada {

namespace {

struct CarTable {
    Control& car;
    Control& wreck;
    int32_t& ownSpeed;
    int16_t& bumped;
    bool (*speedAllowsEntry)(int16_t speed);
    int32_t entrySpeed;
    float entryTop;
    bool keepsClearOfMotorcycle;
    // Car 2 under a median that reaches past it is simply covered, not hit.
    bool hiddenByMedianAboveItsEnd;
    double medianReward;
    double edgeReward;
    float swerve;
    bool (*roomToSwerve)(double roadWidth, float left);
    double craterReward;
};

CarTable tableFor(Form& f, CivilianCar which) {
    const Control& road = f.imgRoad();
    if (which == CivilianCar::One) {
        return {f.imgCiv1(),
                f.imgCiv1Crash(),
                f.Civ1Speed,
                f.Civ1Bumped,
                [](int16_t speed) { return speed < 20; },
                30,
                single(double(road.Top) + road.Height),
                true,
                false,
                200,
                400,
                -6,
                [](double width, float left) {
                    return roadway::across(width, roadway::kCar1SwerveRoom) < left;
                },
                300};
    }
    return {f.imgCiv2(),
            f.imgCiv2Crash(),
            f.Civ2Speed,
            f.Civ2Bumped,
            [](int16_t speed) { return speed > 10; },
            10,
            single(double(road.Top) - f.imgCiv2().Height),
            false,
            true,
            100,
            300,
            2,
            [](double width, float left) {
                return roadway::across(width, roadway::kCar2SwerveRoom) >= left;
            },
            200};
}

// Touching edges block: a lane must leave daylight on both sides.
bool laneBlocked(const Form& f, const CarTable& t) {
    const bool median = f.picSplit().Visible && clashesHorizontally(t.car, f.picSplit());
    // The motorcycle's picture blocks from wherever it was last parked.
    const bool motorcycle = t.keepsClearOfMotorcycle && clashesHorizontally(t.car, f.imgMs());
    return median || motorcycle;
}

void enter(Form& f, CarTable& t) {
    const bool due = f.TickCount % 17 == 0 && t.speedAllowsEntry(f.Speed) && !t.car.Visible &&
                     !t.wreck.Visible && eighthRoot(f.Score) + 15 > f.RandomRoll;
    if (!due) {
        return;
    }
    t.ownSpeed = t.entrySpeed;
    t.car.Top = t.entryTop;
    do {
        rollLane(f, t.car);
    } while (laneBlocked(f, t));
    t.car.Visible = true;
}

void hitMedian(Form& f, CarTable& t) {
    const Control& median = f.picSplit();
    const float medianEnd = single(double(median.Top) + median.Height);
    if (!(median.Visible && t.car.Visible && overlaps(t.car, median) && medianEnd > 0)) {
        return;
    }
    if (t.hiddenByMedianAboveItsEnd && !(medianEnd < single(double(t.car.Top) + t.car.Height))) {
        t.car.Visible = false;
        return;
    }
    crash(f, t.car, t.wreck, t.medianReward);
}

// The civilian car's width stands on both sides of the horizontal test, so
// a player just clear on the car's left still counts as touching it.
bool touchesPlayer(const Form& f, const Control& car) {
    const Control& player = f.picCar();
    return car.Visible && single(double(player.Left) + car.Width) > car.Left &&
           single(double(player.Left) - car.Width) < car.Left &&
           single(double(player.Top) + player.Height) > car.Top &&
           single(double(player.Top) - car.Height) < car.Top;
}

// Steering into the car shoves it; running into it front or back trades
// three points of speed between the two.
void meetPlayer(Form& f, CarTable& t) {
    if (!touchesPlayer(f, t.car)) {
        return;
    }
    const Control& player = f.picCar();
    if (f.PrevLeftHeld == 1) {
        t.car.Left = single(double(t.car.Left) - f.Speed);
        t.bumped = 1;
    } else if (f.PrevRightHeld == 1) {
        t.car.Left = single(double(t.car.Left) + f.Speed);
        t.bumped = 1;
    } else if (t.car.Top < player.Top) {
        t.car.Top = single(double(player.Top) - t.car.Height);
        t.bumped = 1;
        t.ownSpeed = f.Speed + 3;
        f.Speed = toInt16(f.Speed - 3);
    } else if (single(double(player.Top) + player.Height) <
               single(double(t.car.Top) + t.car.Height)) {
        t.bumped = 1;
        t.ownSpeed = f.Speed - 3;
        f.Speed = toInt16(f.Speed + 3);
    }
}

// Only inside the lane band does the car drive; outside it stands still on
// the screen until it has drifted back.
void drive(Form& f, CarTable& t) {
    const double width = f.imgRoad().Width;
    if (roadway::across(width, roadway::kBandRight) > t.car.Left &&
        roadway::across(width, roadway::kBandLeft) < t.car.Left) {
        t.car.Top = single(double(t.car.Top) - t.ownSpeed + f.Speed);
    }
}

// A car pushed past an edge is put onto it and wrecked there.
bool leftTheRoadSides(Form& f, CarTable& t) {
    const double width = f.imgRoad().Width;
    setOnVerge(t.car, width);
    if (offTheRoad(t.car, width)) {
        crash(f, t.car, t.wreck, t.edgeReward);
        return true;
    }
    return false;
}

// No swerving while the median is up: there is no room beside it.
void swerveFromCraters(Form& f, CarTable& t) {
    if (!(f.CratersInPlay > 0 && !f.picSplit().Visible)) {
        return;
    }
    const double width = f.imgRoad().Width;
    for (f.CraterIndex = 0; f.CraterIndex <= 1; ++f.CraterIndex) {
        const Control& crater = f.imgCrater(f.CraterIndex);
        const bool ahead = crater.Visible && t.roomToSwerve(width, t.car.Left) &&
                           single(double(t.car.Left) - crater.Width) < crater.Left &&
                           single(double(crater.Top) + crater.Height) < t.car.Top &&
                           single(double(t.car.Left) + t.car.Width) > crater.Left;
        if (ahead) {
            t.car.Left = single(double(t.car.Left) + t.swerve);
        }
    }
}

// Back toward the band, but never sideways into a player car level with it.
void driftBack(Form& f, CarTable& t) {
    const Control& player = f.picCar();
    const double width = f.imgRoad().Width;
    const bool level = !(single(double(t.car.Top) + t.car.Height) < player.Top ||
                         single(double(player.Top) + player.Height) < t.car.Top);
    if (roadway::across(width, roadway::kBandLeft) >= t.car.Left) {
        if (!level || single(double(t.car.Left) + t.car.Width + 1) < player.Left) {
            t.car.Left = single(double(t.car.Left) + 1);
        }
    }
    if (roadway::across(width, roadway::kBandRight) <= t.car.Left) {
        if (!level || single(double(player.Left) + player.Width) < single(double(t.car.Left) - 1)) {
            t.car.Left = single(double(t.car.Left) - 1);
        }
    }
}

} // namespace

void civilianCarPhase(Form& f, CivilianCar which) {
    CarTable t = tableFor(f, which);
    enter(f, t);
    hitMedian(f, t);
    meetPlayer(f, t);
    // A car that touched the player this tick is held where it is.
    if (t.bumped == 1 || !t.car.Visible) {
        return;
    }
    drive(f, t);
    if (leftTheRoadSides(f, t)) {
        return;
    }
    swerveFromCraters(f, t);
    if (crashedIntoCrater(f, t.car, t.wreck, t.craterReward)) {
        return;
    }
    driftBack(f, t);
    leaveByTopOrBottom(f.imgRoad(), t.car);
}

} // namespace kestrada
