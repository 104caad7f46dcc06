// SPDX-License-Identifier: GPL-3.0-or-later
// The scene both front ends draw: motion drawn between ticks at any screen
// rate, what snaps, the burst of a hit, and the slots a frame makes due.
#include "scene/compose.h"
#include "scene/hall_of_fame.h"
#include "scene/live_scene.h"
#include "scene/slot_clock.h"

#include <algorithm>
#include <cmath>
#include <gtest/gtest.h>
#include <vector>

using namespace kestrada;
using namespace kestrada::scene;

namespace {

// A model moved by hand, one tick at a time, as the rules would move it.
struct Road {
    Form form;
    LiveScene live{form};
    SlotClock clock;

    Control& marker() { return form.imgMarker(1); }
    void tick(double atMs, float step = 10) {
        marker().Top += step;
        ++form.TickCount;
        live.ticked(form, atMs);
    }
    // The marker's top as a frame at atMs draws it.
    double drawnTop(double atMs, bool held = false) const {
        for (const Item& item : live.frame(form, atMs, held)) {
            if (item.key == sceneKey(ControlId::imgMarker1)) {
                return item.rect.top;
            }
        }
        return -1000;
    }
    // Frames every period ms for a second, the slots run as the clock says;
    // the marker's drawn top at each.
    std::vector<double> play(double period) {
        std::vector<double> tops;
        for (double t = 0; t < 1000; t += period) {
            const int due = clock.frame(t);
            for (int i = 0; i < due; ++i) {
                tick(clock.slotTime(i));
            }
            tops.push_back(drawnTop(t));
        }
        return tops;
    }
};

} // namespace

TEST(Motion, SteadyMotionIsDrawnEvenlyAtAnyScreenRate) {
    for (const double hz : {60.0, 144.0, 50.0}) {
        Road road;
        const std::vector<double> tops = road.play(1000.0 / hz);
        // Ten pixels a 40 ms tick, drawn a tick behind once two have run.
        const double step = 10.0 * (1000.0 / hz) / 40.0;
        for (auto i = std::size_t(std::ceil(80 * hz / 1000)) + 1; i < tops.size(); ++i) {
            EXPECT_NEAR(tops[i] - tops[i - 1], step, 1e-6) << hz << " Hz, frame " << i;
        }
    }
}

// Each case changes the model at the second tick (or after it); the frame
// just after that tick must draw the marker where the model has it, never
// on its way from the old place.
TEST(Motion, WhatAppearsJumpsOrStandsStillIsDrawnWhereItIs) {
    struct Case {
        const char* what;
        void (*change)(Road&);
        bool held = false;
    };
    const Case cases[] = {
        {"appears", [](Road& r) { r.marker().Visible = false; }},
        {"wraps to the top", [](Road& r) { r.marker().Top -= 420; }},
        {"new game", [](Road& r) { r.form.TickCount = 0; }},
        {"paused", [](Road& r) { r.form.lblPaused().Visible = true; }},
        {"game over", [](Road& r) { r.form.GameOver = true; }},
        {"replay held", [](Road&) {}, true},
    };
    for (const Case& c : cases) {
        Road road;
        road.tick(0);
        c.change(road);
        road.tick(40);
        road.marker().Visible = true;
        EXPECT_EQ(road.drawnTop(41, c.held), road.marker().Top) << c.what;
    }
}

TEST(Motion, APlainMoveBlendsAndALongerOneSnaps) {
    for (const auto& [step, blends] : {std::pair{float(kLongestMove), true}, {65.0f, false}}) {
        Road road;
        road.tick(0);
        road.tick(40, step);
        const double from = road.marker().Top - step;
        EXPECT_EQ(road.drawnTop(60), blends ? from + step / 2 : road.marker().Top) << step;
        // Once the clock reaches the next tick's time the frame is the model's.
        EXPECT_EQ(road.drawnTop(80), road.marker().Top);
    }
}

// The burst grows from the sprite's size to 1.8 times it and fades to a
// quarter over six ticks, centred on the hit, and between ticks as well.
TEST(Scene, TheBurstOfAHitGrowsAndFades) {
    Form form;
    LiveScene live(form);
    const auto burst = [&](double atMs) {
        for (const Item& item : live.frame(form, atMs)) {
            if (item.picture == Picture::Boom) {
                return item;
            }
        }
        return Item{};
    };
    form.imgBoom().Left = 100;
    form.imgBoom().Top = 200;
    const Control& boom = form.imgBoom();
    for (int tick = 0; tick < 4; ++tick) {
        ++form.TickCount;
        live.ticked(form, tick * 40.0);
    }
    // Half way between the second and the third tick after the hit: a
    // frame draws a tick behind.
    const Item mid = burst(120 + 20);
    const double scale = 1 + 0.8 * 2.5 / 6;
    EXPECT_DOUBLE_EQ(mid.rect.width, boom.Width * scale);
    EXPECT_DOUBLE_EQ(mid.rect.top + mid.rect.height / 2, boom.Top + boom.Height / 2);
    EXPECT_DOUBLE_EQ(mid.opacity, 1 - 0.75 * 2.5 / 6);
    EXPECT_EQ(mid.pictureWidth, 2 * boom.Width);
}

TEST(SlotClock, SlotsFallEveryFortyMillisecondsAndAStallGivesOne) {
    SlotClock clock;
    EXPECT_EQ(clock.frame(1000), 0); // starts the clock
    EXPECT_EQ(clock.frame(1039.9), 0);
    EXPECT_EQ(clock.frame(1040), 1);
    EXPECT_DOUBLE_EQ(clock.slotTime(0), 1040);
    EXPECT_EQ(clock.frame(1160), 3); // a late frame runs every slot due
    EXPECT_DOUBLE_EQ(clock.slotTime(0), 1080);
    EXPECT_DOUBLE_EQ(clock.slotTime(2), 1160);
    EXPECT_EQ(clock.frame(2160), 25);  // a slow phone's frame of a second
    EXPECT_EQ(clock.frame(3160.5), 1); // a stall: one slot, no burst
    EXPECT_EQ(clock.frame(3280, false), 0);
    EXPECT_EQ(clock.frame(3319.5), 0); // held time is not counted
    EXPECT_EQ(clock.frame(3320), 1);
}

// The hall of fame over the play field, in the form's frame: the chosen row
// on its own background, the caret between characters, not bytes.
TEST(HallOfFameScene, TheFrameTheHighlightedRowAndTheCaret) {
    const Form form;
    const std::vector<std::string> rows = {"first", "second"};
    const std::string name = "Zoë";
    Scene scene;
    addHallOfFame(scene, form, {rows, 1, true, true, name, 2});
    ASSERT_FALSE(scene.empty());
    EXPECT_EQ(scene.front().rect, (Rect{67, 0, 345, 477}));
    const auto withText = [&](const std::string& text) {
        return std::find_if(scene.begin(), scene.end(),
                            [&](const Item& item) { return item.text == text; });
    };
    ASSERT_NE(withText("Kestrada Hall of Fame"), scene.end());
    ASSERT_NE(withText("New Game"), scene.end());
    EXPECT_FALSE(withText("first")->background);
    EXPECT_TRUE(withText("second")->background);
    EXPECT_NE(withText("Zo|ë"), scene.end());
}
