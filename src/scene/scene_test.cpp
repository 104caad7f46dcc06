// SPDX-License-Identifier: GPL-3.0-or-later
// The scene both front ends draw: motion drawn between ticks at any screen
// rate, what snaps, the burst of a hit, and the slots a frame makes due.
#include "scene/compose.h"
#include "scene/live_scene.h"
#include "scene/slot_clock.h"

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

    Road() {
        for (int i = 2; i <= 7; ++i) {
            form.imgMarker(i).Visible = false;
        }
        form.imgMarker(1).Top = 0;
    }
    Control& marker() { return form.imgMarker(1); }
    void tick(double atMs, float step = 10) {
        marker().Top += step;
        ++form.TickCount;
        live.ticked(form, atMs);
    }
    // The marker's top as a frame at atMs draws it.
    double drawnTop(double atMs, bool held = false) const {
        for (const Item& item : live.frame(form, atMs, held)) {
            if (item.kind == ItemKind::Picture && item.picture == Picture::Marker) {
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

TEST(Motion, PlainStepsWithoutSmoothing) {
    Road road;
    road.live.setSmoothing(false);
    road.tick(0);
    road.tick(40);
    EXPECT_EQ(road.drawnTop(50), 20);
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
    // Moved by a handler after the tick: where the handler put it.
    Road road;
    road.tick(0);
    road.tick(40);
    road.marker().Top = 300;
    EXPECT_EQ(road.drawnTop(50), 300);
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
        EXPECT_EQ(road.drawnTop(500), road.marker().Top);
    }
}

TEST(Motion, LabelsAndTheNeedleSnap) {
    Road road;
    road.form.linSpeed = Line{536, 182, 536, 150, true};
    road.form.lblSpeed().Caption = "1";
    road.tick(0);
    road.form.linSpeed.X2 = 520;
    road.form.lblSpeed().Top += 10;
    road.tick(40);
    for (const Item& item : road.live.frame(road.form, 45)) {
        if (item.kind == ItemKind::Line) {
            EXPECT_EQ(item.rect.left + item.rect.width, 520);
        }
        if (item.kind == ItemKind::Text && item.text == "1") {
            EXPECT_EQ(item.rect.top, road.form.lblSpeed().Top);
        }
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
    EXPECT_DOUBLE_EQ(mid.rect.left + mid.rect.width / 2, boom.Left + boom.Width / 2);
    EXPECT_DOUBLE_EQ(mid.rect.top + mid.rect.height / 2, boom.Top + boom.Height / 2);
    EXPECT_DOUBLE_EQ(mid.opacity, 1 - 0.75 * 2.5 / 6);
    EXPECT_EQ(mid.pictureWidth, 2 * boom.Width);
    for (int tick = 4; tick < 7; ++tick) {
        ++form.TickCount;
        live.ticked(form, tick * 40.0);
    }
    EXPECT_EQ(burst(500).kind, ItemKind::Fill); // over
    EXPECT_EQ(picturesIn(live.frame(form, 500)), picturesIn(composeScene(form, live.explosion())));
}

TEST(Scene, TheHallOfFamesChildrenShowOnlyWithItInsideIt) {
    Form form;
    const ExplosionEffect none(form.imgBoom());
    const auto texts = [&] {
        std::vector<Item> found;
        for (const Item& item : composeScene(form, none)) {
            if (item.kind == ItemKind::Text && item.style.middle) {
                found.push_back(item);
            }
        }
        return found;
    };
    form.cmdNewGame().Caption = "New\r\nGame";
    EXPECT_TRUE(texts().empty());
    form.fraScores().Visible = true;
    const std::vector<Item> button = texts();
    ASSERT_EQ(button.size(), 1u);
    EXPECT_EQ(button[0].text, "New\nGame");
    EXPECT_EQ(button[0].rect.left, form.fraScores().Left + form.cmdNewGame().Left);
}

TEST(SlotClock, SlotsFallEveryFortyMillisecondsAndAStallGivesOne) {
    SlotClock clock;
    EXPECT_EQ(clock.frame(1000), 0); // starts the clock
    EXPECT_EQ(clock.frame(1039.9), 0);
    EXPECT_EQ(clock.frame(1040), 1);
    EXPECT_DOUBLE_EQ(clock.slotTime(0), 1040);
    EXPECT_EQ(clock.frame(1160), 3); // three slots late is not yet a stall
    EXPECT_DOUBLE_EQ(clock.slotTime(0), 1080);
    EXPECT_DOUBLE_EQ(clock.slotTime(2), 1160);
    EXPECT_EQ(clock.frame(1280.5), 1); // a stall: one slot, no burst
    EXPECT_EQ(clock.frame(1400, false), 0);
    EXPECT_EQ(clock.frame(1439.5), 0); // held time is not counted
    EXPECT_EQ(clock.frame(1440), 1);
}
