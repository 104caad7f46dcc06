#include "numeric.h"
#include "testing/scene.h"
#include "traffic/civilian_cars.h"

#include <gtest/gtest.h>

namespace kestrada {
namespace {

using testing::place;
using testing::primeNextDraw;
using testing::TestGame;
using enum CivilianCar;

Control& carOf(Form& f, CivilianCar which) {
    return which == One ? f.imgCiv1() : f.imgCiv2();
}

Control& wreckOf(Form& f, CivilianCar which) {
    return which == One ? f.imgCiv1Crash() : f.imgCiv2Crash();
}

// An entry tick with the luckiest roll; the next lane is mid-road.
void entryTick(Form& f, int16_t speed) {
    f.TickCount = 17;
    f.RandomRoll = 1;
    f.Speed = speed;
    primeNextDraw(f, [](float r) { return r > 0.1f && r < 0.3f; });
}

// The player's car at (200, 300), the cars' own speeds matching it so that
// a car placed by a test stays where it was put.
Form& roadAt(TestGame& g, int16_t speed) {
    Form& f = testing::onTheRoad(g, speed, 200, 300);
    f.Civ1Speed = speed;
    f.Civ2Speed = speed;
    return f;
}

// Car 1 comes below speed 20, car 2 above 10, on every 17th tick, with odds
// that grow with the eighth root of the score, and never while its wreck is
// on the road. Both enter just beyond the road's ends, already on the move.
TEST(CivilianCarEntry, FollowsTheTickTheSpeedTheScoreAndTheRoll) {
    struct Case {
        int32_t tick;
        int16_t speed;
        double score;
        int16_t roll;
        bool wrecks, one, two;
    };
    const Case cases[] = {
        {17, 10, 0, 1, false, true, false},      {17, 11, 0, 1, false, true, true},
        {17, 19, 0, 1, false, true, true},       {17, 20, 0, 1, false, false, true},
        {18, 15, 0, 1, false, false, false},     {17, 15, 0, 14, false, true, true},
        {17, 15, 0, 15, false, false, false},    {17, 15, 1, 15, false, true, true},
        {17, 15, 256, 17, false, false, false},  {17, 15, 256.5, 17, false, true, true},
        {17, 15, 400000, 20, false, true, true}, {17, 15, 0, 1, true, false, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message() << "tick " << c.tick << " speed " << c.speed << " score "
                                          << c.score << " roll " << c.roll);
        TestGame g;
        Form& f = g.form;
        entryTick(f, c.speed);
        f.TickCount = c.tick;
        f.Score = c.score;
        f.RandomRoll = c.roll;
        if (c.wrecks) {
            place(f.imgCiv1Crash(), 150, 100);
            place(f.imgCiv2Crash(), 250, 100);
        }
        const RandomGenerator before = f.rng;
        civilianCarPhase(f, One);
        civilianCarPhase(f, Two);
        EXPECT_EQ(f.imgCiv1().Visible, c.one);
        EXPECT_EQ(f.imgCiv2().Visible, c.two);
        if (c.one) {
            EXPECT_EQ(f.Civ1Speed, 30);
            EXPECT_EQ(f.imgCiv1().Top, float(480 - 30 + c.speed));
        }
        if (c.two) {
            EXPECT_EQ(f.Civ2Speed, 10);
            EXPECT_EQ(f.imgCiv2().Top, float(-32 - 10 + c.speed));
        }
        if (!c.one && !c.two) {
            EXPECT_EQ(f.rng, before) << "no lane was drawn";
        }
    }
}

TEST(CivilianCarEntry, RedrawsWithAFreshNumberUntilTheLaneIsFree) {
    TestGame g;
    Form& f = g.form;
    entryTick(f, 15);
    place(f.picSplit(), 200, -1000);
    // The motorcycle is gone but its picture is parked and still blocks.
    f.imgMs().Left = 120;
    // First draw onto the median.
    primeNextDraw(f, [](float r) { return Int(263.0 * r) == 120; });
    RandomGenerator expected = f.rng;
    float lane = 0;
    for (;;) {
        lane = float(96 + Int(263.0 * expected.next()));
        const bool median = lane + 27 >= 200 && 281 >= lane;
        const bool motorcycle = lane + 27 >= 120 && 143 >= lane;
        if (!median && !motorcycle) {
            break;
        }
    }
    civilianCarPhase(f, One);
    ASSERT_TRUE(f.imgCiv1().Visible);
    EXPECT_EQ(f.imgCiv1().Left, lane);
    EXPECT_EQ(f.rng, expected);
}

// Only car 1 keeps clear of the motorcycle's picture; a car drawn onto the
// road's left lane is outside the band, drifts a pixel and is already past
// the road's edge in the same tick.
TEST(CivilianCarEntry, TheFirstLaneDrawnStandsUnlessBlocked) {
    struct Case {
        CivilianCar which;
        int lane;
        bool redrawn, stays;
        float left;
    };
    for (const Case& c : {Case{One, 150, true, true, 0}, Case{Two, 150, false, true, 150},
                          Case{One, 96, false, false, 97}, Case{Two, 96, false, false, 97}}) {
        SCOPED_TRACE(::testing::Message()
                     << (c.which == One ? "car 1 at " : "car 2 at ") << c.lane);
        TestGame g;
        Form& f = g.form;
        entryTick(f, 15);
        f.imgMs().Left = 150;
        const double span = c.which == One ? 263 : 264;
        primeNextDraw(f, [&](float r) { return 96 + Int(span * r) == c.lane; });
        civilianCarPhase(f, c.which);
        if (c.redrawn) {
            EXPECT_NE(carOf(f, c.which).Left, float(c.lane));
            continue;
        }
        EXPECT_EQ(carOf(f, c.which).Left, c.left);
        EXPECT_EQ(carOf(f, c.which).Visible, c.stays);
        EXPECT_FALSE(wreckOf(f, c.which).Visible);
    }
}

// Steering into the car shoves it by the speed; running into it front or
// back trades three points of speed. The civilian car's width stands on both
// sides of the test: on its left a small gap still counts, on its right the
// test is exact. A car held this way does not drive this tick.
TEST(CivilianCarContact, ShovesAndBumpsFollowTheSteeringAndWhoRanIntoWhom) {
    struct Case {
        CivilianCar which;
        int16_t speed;
        int32_t ownSpeed, prevLeft, prevRight;
        float carLeft, carTop, playerLeft;
        float leftAfter, topAfter;
        int32_t ownAfter;
        int16_t speedAfter, bumped;
    };
    const Case cases[] = {
        {One, 10, 30, 1, 0, 210, 320, 200, 200, 320, 30, 10, 1},
        {One, 10, 30, 0, 1, 210, 320, 200, 220, 320, 30, 10, 1},
        {One, 10, 30, 1, 1, 210, 320, 200, 200, 320, 30, 10, 1},
        {One, 10, 10, 0, 0, 210, 270, 200, 210, 259, 13, 7, 1},  // set just ahead
        {One, 10, 10, 0, 0, 210, 320, 200, 210, 320, 7, 13, 1},  // from behind
        {One, 2, 2, 0, 0, 210, 270, 200, 210, 259, 5, -1, 1},    // not limited here
        {Two, 15, 10, 0, 0, 210, 305, 200, 210, 310, 10, 15, 0}, // level, no steering
        {One, 10, 10, 0, 1, 150, 310, 123.5f, 160, 310, 10, 10, 1},
        {One, 10, 10, 0, 1, 150, 310, 123, 150, 310, 10, 10, 0},
        {One, 10, 10, 0, 1, 150, 310, 176.5f, 160, 310, 10, 10, 1},
        {One, 10, 10, 0, 1, 150, 310, 177, 150, 310, 10, 10, 0},
        {Two, 10, 10, 0, 1, 150, 310, 124.5f, 160, 310, 10, 10, 1},
        {Two, 10, 10, 0, 1, 150, 310, 124, 150, 310, 10, 10, 0},
        {Two, 10, 10, 0, 1, 150, 310, 175.5f, 160, 310, 10, 10, 1},
        {Two, 10, 10, 0, 1, 150, 310, 176, 150, 310, 10, 10, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message()
                     << "car " << (c.which == One ? 1 : 2) << " at " << c.carLeft << ", "
                     << c.carTop << ", player at " << c.playerLeft);
        TestGame g;
        Form& f = roadAt(g, c.speed);
        (c.which == One ? f.Civ1Speed : f.Civ2Speed) = c.ownSpeed;
        f.picCar().Left = c.playerLeft;
        f.picCar().Visible = false; // the hit box is not asked
        f.PrevLeftHeld = c.prevLeft;
        f.PrevRightHeld = c.prevRight;
        place(carOf(f, c.which), c.carLeft, c.carTop);
        civilianCarPhase(f, c.which);
        EXPECT_EQ(carOf(f, c.which).Left, c.leftAfter);
        EXPECT_EQ(carOf(f, c.which).Top, c.topAfter);
        EXPECT_EQ(c.which == One ? f.Civ1Speed : f.Civ2Speed, c.ownAfter);
        EXPECT_EQ(f.Speed, c.speedAfter);
        EXPECT_EQ(c.which == One ? f.Civ1Bumped : f.Civ2Bumped, c.bumped);
    }
}

// The median wrecks car 1 while its lower end is on the road; car 2 is
// only covered by it unless the car sticks out below its end. A car past a
// road edge is put on the edge and wrecked there.
TEST(CivilianCarCrash, TheMedianAndTheRoadsEdgesWreckTheCars) {
    struct Case {
        CivilianCar which;
        float medianTop, left, top; // medianTop 0: no median
        bool stays;
        float wreckLeft; // 0: no wreck
        double score;
    };
    const Case cases[] = {
        {One, -1000, 190, 130, false, 190, 200}, {Two, -1000, 190, 130, false, 0, 0},
        {Two, -1600, 190, 130, false, 190, 100}, {One, -1742, 190, -20, true, 0, 0},
        {One, -1741, 190, -20, false, 190, 200}, {One, 0, 71, 100, false, 67.2f, 400},
        {One, 0, 385, 100, false, 388.8f, 400},  {Two, 0, 71, 100, false, 67.2f, 300},
        {Two, 0, 385, 100, false, 388.8f, 300},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message() << c.medianTop << ", " << c.left << ", " << c.top);
        TestGame g;
        Form& f = roadAt(g, 25);
        f.picCar().Left = 320;
        place(f.picSplit(), 200, c.medianTop);
        f.picSplit().Visible = c.medianTop != 0;
        place(carOf(f, c.which), c.left, c.top);
        civilianCarPhase(f, c.which);
        EXPECT_EQ(carOf(f, c.which).Visible, c.stays);
        EXPECT_EQ(wreckOf(f, c.which).Visible, c.wreckLeft != 0);
        EXPECT_DOUBLE_EQ(f.Score, c.score);
        if (c.wreckLeft != 0) {
            EXPECT_EQ(wreckOf(f, c.which).Left, c.wreckLeft);
            EXPECT_EQ(wreckOf(f, c.which).Top, c.top);
        }
    }
    // Shoved past the edge, it is wrecked on the first tick without contact.
    TestGame g;
    Form& f = roadAt(g, 10);
    f.picCar().Left = 60;
    place(f.imgCiv1(), 80, 310);
    f.PrevLeftHeld = 1;
    civilianCarPhase(f, One);
    EXPECT_EQ(f.imgCiv1().Left, 70.0f);
    EXPECT_TRUE(f.imgCiv1().Visible);
    f.Civ1Bumped = 0;
    f.PrevLeftHeld = 0;
    f.picCar().Top = 100; // no longer level
    civilianCarPhase(f, One);
    EXPECT_TRUE(f.imgCiv1Crash().Visible);
    EXPECT_EQ(f.imgCiv1Crash().Left, 67.2f);
    EXPECT_DOUBLE_EQ(f.Score, 160.0);
}

// Each crater ahead swerves the car where there is room, unless the median
// is up; a crater whose bottom lies on the car's top wrecks it.
TEST(CivilianCarCraters, SwerveFromCratersAheadOrCrashIntoThem) {
    struct Case {
        CivilianCar which;
        bool median;
        int16_t craters;
        float left0, top0, left1, top1, carLeft, after;
        int16_t craterIndex;
        double score;
    };
    const Case cases[] = {
        {One, false, 2, 200, 100, 190, 50, 200, 188, 2, 0},
        {Two, false, 2, 200, 100, 190, 50, 200, 204, 2, 0},
        {One, true, 2, 200, 100, 190, 50, 200, 200, 2, 0},
        {One, false, 1, 90, 100, 0, 0, 100.5f, 100.5f, 2, 0},  // 100.8: last with room
        {Two, false, 1, 350, 100, 0, 0, 355.5f, 355.5f, 2, 0}, // 355.2: last with room
        {One, false, 1, 0, 0, 210, 271, 200, 200, 1, 300},
        {Two, false, 1, 0, 0, 210, 270, 200, 202, 2, 0}, // a pixel higher: ahead
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message() << "car " << (c.which == One ? 1 : 2) << " at "
                                          << c.carLeft << (c.median ? " median up" : ""));
        TestGame g;
        Form& f = roadAt(g, 25);
        f.picCar().Top = 420;            // well behind the car
        place(f.picSplit(), 120, -1742); // ending above the car
        f.picSplit().Visible = c.median;
        f.CratersInPlay = c.craters;
        place(f.imgCrater(0), c.left0, c.top0);
        place(f.imgCrater(1), c.left1, c.top1);
        f.imgCrater(0).Visible = c.left0 != 0; // 0: not on the road
        f.imgCrater(1).Visible = c.left1 != 0;
        place(carOf(f, c.which), c.carLeft, 300);
        civilianCarPhase(f, c.which);
        EXPECT_EQ(carOf(f, c.which).Left, c.after);
        EXPECT_EQ(f.CraterIndex, c.craterIndex);
        EXPECT_EQ(wreckOf(f, c.which).Visible, c.score != 0);
        EXPECT_DOUBLE_EQ(f.Score, c.score);
    }
}

// Only inside the lane band does a car drive; outside it stands still on
// the screen and drifts back, unless the player is level and in the way. It
// leaves by the top or the bottom without a wreck.
TEST(CivilianCarLanes, DriveInsideTheBandDriftBackOutsideAndLeaveAtTheEnds) {
    struct Case {
        CivilianCar which;
        float carLeft, carTop, playerLeft, playerTop, after, topAfter;
        bool stays;
    };
    // Car 1 at Top 300 spans 300..341; the player 44 high.
    const Case cases[] = {
        {One, 90, 300, 200, 100, 91, 300, true},    // player far ahead: drifts right
        {One, 90, 300, 118, 300, 90, 300, true},    // level, 1 pixel clear: blocked
        {One, 90, 300, 118.5f, 300, 91, 300, true}, // a little further: drifts
        {One, 90, 300, 40, 300, 90, 300, true},     // level on its left: still blocked
        {One, 90, 300, 40, 341, 90, 300, true},     // its top on the car's bottom: level
        {One, 90, 300, 40, 342, 91, 300, true},     // one pixel lower it is not
        {One, 370, 300, 344, 256, 370, 300, true},  // edges touching vertically: in the way
        {One, 370, 300, 343.5f, 300, 369, 300, true},
        {One, 370, 300, 344, 255, 369, 300, true},
        {One, 360, 300, 200, 100, 359, 300, true},  // on the band's edge: stands still
        {One, 359, 300, 200, 100, 359, 295, true},  // inside: up by 30 less the speed
        {One, 150, -36, 200, 100, 150, -41, false}, // its bottom on the road's top
        {One, 150, -35, 200, 100, 150, -40, true},
        {Two, 150, 465, 200, 100, 150, 480, false}, // down by the speed less 10
        {Two, 150, 464, 200, 100, 150, 479, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message() << c.carLeft << ", " << c.carTop << " player at "
                                          << c.playerLeft << ", " << c.playerTop);
        TestGame g;
        Form& f = roadAt(g, 25);
        f.Civ1Speed = 30;
        f.Civ2Speed = 10;
        f.picCar().Left = c.playerLeft;
        f.picCar().Top = c.playerTop;
        place(carOf(f, c.which), c.carLeft, c.carTop);
        civilianCarPhase(f, c.which);
        EXPECT_EQ(carOf(f, c.which).Left, c.after);
        EXPECT_EQ(carOf(f, c.which).Top, c.topAfter);
        EXPECT_EQ(carOf(f, c.which).Visible, c.stays);
        EXPECT_FALSE(wreckOf(f, c.which).Visible);
    }
}

} // namespace
} // namespace kestrada
