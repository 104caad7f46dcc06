#include "numeric.h"
#include "testing/scene.h"
#include "traffic/motorcycle.h"

#include <gtest/gtest.h>

namespace kestrada {
namespace {

using testing::place;
using testing::primeNextDraw;
using testing::TestGame;

// The player's car at (200, 300), the motorcycle riding at its own speed.
Form& roadAt(TestGame& g, int16_t speed) {
    Form& f = testing::onTheRoad(g, speed, 200, 300);
    f.MotorcycleSpeed = 25;
    return f;
}

// The lane that the redraws end on: the first drawn that clears both car 1,
// shown or not, and the median.
float firstFreeLane(RandomGenerator& rng, float civ1Left, float medianLeft) {
    for (;;) {
        const float lane = float(96 + Int(267.0 * rng.next()));
        const bool car = lane + 23 >= civ1Left && civ1Left + 27 >= lane;
        const bool median = lane + 23 >= medianLeft && medianLeft + 81 >= lane;
        if (!car && !median) {
            return lane;
        }
    }
}

// It comes on every 17th tick on fourteen rolls in twenty, never while any
// of its pictures or its wreck is shown, and at top speed the player leaves
// it behind in the tick it came.
TEST(MotorcycleEntry, FollowsTheTickTheRollItsPicturesAndTheSpeed) {
    struct Case {
        int32_t tick;
        int16_t roll, speed;
        ControlId shown; // imgBoom has no say in it
        bool enters, stays;
    };
    const Case cases[] = {
        {17, 1, 0, ControlId::imgBoom, true, true},
        {17, 14, 0, ControlId::imgBoom, true, true},
        {17, 15, 0, ControlId::imgBoom, false, false},
        {17, 20, 0, ControlId::imgBoom, false, false},
        {18, 1, 0, ControlId::imgBoom, false, false},
        {17, 1, 0, ControlId::imgMl, false, false},
        {17, 1, 0, ControlId::imgMr, false, false},
        {17, 1, 0, ControlId::imgMdead, false, false},
        {17, 1, 24, ControlId::imgBoom, true, true},
        {17, 1, 25, ControlId::imgBoom, true, false},
        {17, 1, 28, ControlId::imgBoom, true, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message() << "tick " << c.tick << " roll " << c.roll << " speed "
                                          << c.speed << " shown " << int(c.shown));
        TestGame g;
        Form& f = g.form;
        f.TickCount = c.tick;
        f.RandomRoll = c.roll;
        f.Speed = c.speed;
        place(f.control(c.shown), 0, 0);
        const RandomGenerator before = f.rng;
        motorcyclePhase(f);
        EXPECT_EQ(f.imgMs().Visible, c.stays);
        EXPECT_EQ(f.MotorcycleSpeed, c.enters ? 25 : 0);
        EXPECT_EQ(f.rng == before, !c.enters);
        if (c.stays) {
            EXPECT_EQ(f.imgMs().Top, 455.0f + c.speed); // 480, then up by 25 less the speed
        }
        if (c.shown != ControlId::imgMdead) {
            EXPECT_FALSE(f.imgMdead().Visible);
        }
        EXPECT_EQ(f.Score, 0.0);
    }
}

TEST(MotorcycleEntry, ALaneTouchingCarOneOrAShownMedianIsRedrawn) {
    struct Case {
        int primed;
        bool median;
    };
    // Car 1 is parked hidden at 200; the median spans 200 to 281.
    for (const Case& c :
         {Case{177, false}, Case{227, false}, Case{281, false}, Case{281, true}, Case{176, true}}) {
        SCOPED_TRACE(::testing::Message() << c.primed << (c.median ? " median" : ""));
        TestGame g;
        Form& f = g.form;
        f.TickCount = 17;
        f.RandomRoll = 1;
        f.imgCiv1().Left = 200;
        place(f.picSplit(), 200, -1000);
        f.picSplit().Visible = c.median;
        primeNextDraw(f, [&](float r) { return 96 + Int(267.0 * r) == c.primed; });
        RandomGenerator expected = f.rng;
        const float lane = firstFreeLane(expected, 200, c.median ? 200 : 1000);
        motorcyclePhase(f);
        EXPECT_TRUE(f.imgMs().Visible);
        EXPECT_EQ(f.imgMs().Left, lane);
        EXPECT_EQ(f.rng, expected);
    }
}

// The player runs it down for nothing; the median wrecks it while its lower
// end is on the road, and so does a crater whose bottom lies on its top.
TEST(MotorcycleCrash, TheMedianTheCarAndCratersWreckIt) {
    struct Case {
        const char* what;
        float medianTop, craterLeft, msLeft, msTop;
        int16_t speed;
        bool wrecked;
        int16_t craterIndex;
    };
    const Case cases[] = {
        {"median ending at the road's top", -1742, 0, 210, -20, 25, false, 0},
        {"median ending on the road", -1741, 0, 210, -20, 25, true, 0},
        {"the player's car", 0, 0, 210, 310, 10, true, 0},
        {"a crater", 0, 305, 300, 300, 25, true, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TestGame g;
        Form& f = roadAt(g, c.speed);
        f.picCar().Visible = false; // the hit box is not asked
        place(f.picSplit(), 200, c.medianTop);
        f.picSplit().Visible = c.medianTop != 0;
        f.CratersInPlay = c.craterLeft != 0 ? 1 : 0;
        place(f.imgCrater(1), c.craterLeft, 271);
        f.imgCrater(1).Visible = c.craterLeft != 0;
        place(f.imgMs(), c.msLeft, c.msTop);
        motorcyclePhase(f);
        EXPECT_EQ(f.imgMs().Visible, !c.wrecked);
        EXPECT_EQ(f.imgMdead().Visible, c.wrecked);
        EXPECT_DOUBLE_EQ(f.Score, c.wrecked ? 2.0 * c.speed : 0.0);
        if (c.wrecked) {
            EXPECT_EQ(f.imgMdead().Left, c.msLeft);
            EXPECT_EQ(f.imgMdead().Top, c.msTop);
        }
        if (c.craterIndex != 0) {
            EXPECT_EQ(f.CraterIndex, c.craterIndex);
        }
        EXPECT_EQ(f.Speed, c.speed);
        EXPECT_EQ(f.picCar().Left, 200.0f);
        EXPECT_EQ(f.picCar().Top, 300.0f);
        EXPECT_FALSE(f.GameOver);
    }
}

// It climbs by 25 less the speed, swerves from craters ahead away from the
// player's side (not when level with the car), and is held at the road's
// edges rather than wrecked there.
TEST(MotorcycleRide, ClimbsSwervesAndKeepsToTheRoad) {
    struct Case {
        int16_t speed;
        float left, top, playerLeft, playerTop;
        int craters;
        float leftAfter, topAfter;
        bool shown;
    };
    // The motorcycle spans 300..323.
    const Case cases[] = {
        {10, 300, 100, 200, 300, 0, 300, 85, true},
        {25, 300, 100, 200, 300, 0, 300, 100, true},
        {0, 300, -7, 200, 300, 0, 300, -32, false},  // its bottom on the road's top
        {25, 300, 300, 200, 400, 1, 305, 300, true}, // player wholly to its left
        {25, 300, 300, 200, 400, 2, 310, 300, true}, // each crater ahead, however far
        {25, 300, 300, 400, 400, 1, 295, 300, true}, // player wholly to its right
        {25, 300, 300, 323, 400, 1, 300, 300, true}, // its right edge on the player's left
        {25, 300, 300, 290, 400, 1, 300, 300, true}, // level with the player
        {25, 70, 300, 200, 100, 0, 67.2f, 300, true},
        {25, 386, 300, 200, 100, 0, 388.8f, 300, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message() << "at " << c.left << ", " << c.top << " speed "
                                          << c.speed << " player " << c.playerLeft);
        TestGame g;
        Form& f = roadAt(g, c.speed);
        f.picCar().Left = c.playerLeft;
        f.picCar().Top = c.playerTop;
        f.CratersInPlay = int16_t(c.craters);
        if (c.craters > 0) {
            place(f.imgCrater(0), 290, 100);
        }
        if (c.craters > 1) {
            place(f.imgCrater(1), 300, -400);
        }
        place(f.imgMs(), c.left, c.top);
        motorcyclePhase(f);
        EXPECT_EQ(f.imgMs().Left, c.leftAfter);
        EXPECT_EQ(f.imgMs().Top, c.topAfter);
        EXPECT_EQ(f.imgMs().Visible, c.shown);
        EXPECT_FALSE(f.imgMdead().Visible);
    }
}

} // namespace
} // namespace kestrada
