// A road set up by hand, for tests that run one phase at a time so that
// nothing but the phase under test moves the sprites.
#pragma once

#include "testing/test_game.h"

#include <algorithm>

namespace kestrada::testing {

inline void place(Control& c, float left, float top) {
    c.Left = left;
    c.Top = top;
    c.Visible = true;
}

// The player's car on the asphalt at a steady speed, on a tick where nothing
// enters the road.
inline Form& onTheRoad(TestGame& g, int16_t speed, float left = 300, float top = 300) {
    Form& f = g.form;
    f.TickCount = 1;
    f.Speed = speed;
    f.PrevSpeed = speed;
    place(f.picCar(), left, top);
    return f;
}

// Winds the game's generator on until its next draw satisfies pred, so a
// test can choose the lane a vehicle or crater is about to get.
template <class Pred> void primeNextDraw(Form& f, Pred pred) {
    for (;;) {
        RandomGenerator peek = f.rng;
        if (pred(peek.next())) {
            return;
        }
        f.rng.next();
    }
}

inline long crashSounds(const TestGame& g) {
    return std::count(g.soundLog.begin(), g.soundLog.end(), "sndCrash.play");
}

} // namespace kestrada::testing
