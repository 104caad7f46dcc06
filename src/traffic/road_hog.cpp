// SPDX-License-Identifier: GPL-3.0-or-later
// The road hog closes in on the car's left flank and shoves it to the right
// until it crashes; a car that stands still when touched is finished.
#include "traffic/road_hog.h"

#include "app/vehicles.h"

namespace kestrada {

namespace {

// Its lane is drawn once and checks nothing: a hog may enter on the median.
void enter(Form& f) {
    Control& hog = f.imgHog();
    const bool due = f.TickCount % 68 == 0 && !hog.Visible && !f.imgHogCrash().Visible &&
                     f.Score > 2500 && eighthRoot(f.Score) + 5 > f.RandomRoll;
    if (!due) {
        return;
    }
    const Control& road = f.imgRoad();
    f.HogSpeed = 20;
    hog.Top = single(double(road.Top) + road.Height);
    rollLane(f, hog);
    hog.Visible = true;
}

bool hitsMedian(const Form& f) {
    return f.picSplit().Visible && overlaps(f.imgHog(), f.picSplit());
}

bool droveIntoCrater(Form& f, double reward) {
    return crashedIntoCrater(f, f.imgHog(), f.imgHogCrash(), reward);
}

// Steering left into the hog knocks it away; otherwise it shoves the car
// right, and every shove at speed costs a point of it.
void shove(Form& f) {
    Control& car = f.picCar();
    Control& hog = f.imgHog();
    if (f.LeftHeld == 1) {
        car.Left = single(double(car.Left) - 1);
        hog.Left = single(double(car.Left) - hog.Width - f.Speed + 3);
    } else if (f.Speed > 3) {
        car.Left = single(double(f.Speed) + car.Left - 3);
        f.Speed = toInt16(f.Speed - 1);
    } else {
        car.Left = single(double(car.Left) + 2);
    }
}

// Toward the car's Top by 2 and toward a Left that puts the hog's right
// edge 1 pixel inside the car's left edge by 4. The median only stops a
// move to the left, and so does the left of the road.
void pursue(Form& f) {
    Control& hog = f.imgHog();
    const Control& car = f.picCar();
    const Control& median = f.picSplit();
    const double width = f.imgRoad().Width;
    if (hog.Top > car.Top) {
        hog.Top = single(double(hog.Top) - 2);
    }
    if (hog.Top < car.Top) {
        hog.Top = single(double(hog.Top) + 2);
    }
    const bool medianClear = !median.Visible ||
                             single(double(hog.Left) + hog.Width) <= median.Left ||
                             single(double(median.Left) + median.Width + 3) < hog.Left;
    if (medianClear && roadway::across(width, roadway::kHogLeftmost) < hog.Left &&
        single(double(car.Left) - hog.Width + 1) < hog.Left) {
        hog.Left = single(double(hog.Left) - 4);
    }
    if (single(double(car.Left) - hog.Width + 1) > hog.Left) {
        hog.Left = single(double(hog.Left) + 4);
    }
}

// A hog pushed past an edge is put onto it and wrecked there.
bool leftTheRoadSides(Form& f) {
    Control& hog = f.imgHog();
    const double width = f.imgRoad().Width;
    setOnVerge(hog, width);
    if (offTheRoad(hog, width)) {
        crash(f, hog, f.imgHogCrash(), 500);
        return true;
    }
    return false;
}

} // namespace

PhaseResult roadHogPhase(Form& f) {
    Control& hog = f.imgHog();
    enter(f);
    if (hog.Visible && hitsMedian(f)) {
        crash(f, hog, f.imgHogCrash(), 100);
    }
    if (!hog.Visible) {
        return PhaseResult::Continue;
    }
    // Whether the car's hit box is shown does not matter: the hog feels it.
    if (overlaps(hog, f.picCar())) {
        shove(f);
        if (f.Speed <= 0) {
            f.Die();
            return PhaseResult::EndTick;
        }
        if (hitsMedian(f)) {
            crash(f, hog, f.imgHogCrash(), 500);
            return PhaseResult::Continue;
        }
        if (droveIntoCrater(f, 250)) {
            return PhaseResult::Continue;
        }
    }
    pursue(f);
    if (leftTheRoadSides(f)) {
        return PhaseResult::Continue;
    }
    droveIntoCrater(f, 100);
    return PhaseResult::Continue;
}

} // namespace kestrada
