#include "numeric.h"
#include "testing/test_game.h"
#include "traffic/civilian_cars.h"

#include <cmath>
#include <gtest/gtest.h>

namespace kestrada {
namespace {

using testing::TestGame;

// Advances the game's generator until the draw it gives next satisfies pred,
// so a test can choose the lane a car is about to get.
template <class Pred> void primeNextDraw(Form& f, Pred pred) {
    for (;;) {
        RandomGenerator peek = f.rng;
        if (pred(peek.next())) {
            return;
        }
        f.rng.next();
    }
}

// An entry tick with the luckiest roll; the next lane is mid-road.
void entryTick(Form& f, int16_t speed) {
    f.TickCount = 17;
    f.RandomRoll = 1;
    f.Speed = speed;
    primeNextDraw(f, [](float r) { return r > 0.1f && r < 0.3f; });
}

// The player's car on the road, the cars' own speeds matching it so that a
// car placed by a test stays where it was put.
Form& onTheRoad(TestGame& g, int16_t speed) {
    Form& f = g.form;
    f.TickCount = 1;
    f.Speed = speed;
    f.Civ1Speed = speed;
    f.Civ2Speed = speed;
    f.picCar().Left = 200;
    f.picCar().Top = 300;
    f.picCar().Visible = true;
    return f;
}

void place(Control& c, float left, float top) {
    c.Left = left;
    c.Top = top;
    c.Visible = true;
}

TEST(CivilianCarEntry, CarOneComesBelowSpeedTwentyCarTwoAboveTen) {
    struct Case {
        int16_t speed;
        bool one, two;
    };
    for (const Case& c : {Case{10, true, false}, Case{11, true, true}, Case{19, true, true},
                          Case{20, false, true}}) {
        TestGame g;
        Form& f = g.form;
        entryTick(f, c.speed);
        civilianCarPhase(f, CivilianCar::One);
        civilianCarPhase(f, CivilianCar::Two);
        EXPECT_EQ(f.imgCiv1().Visible, c.one) << c.speed;
        EXPECT_EQ(f.imgCiv2().Visible, c.two) << c.speed;
        // Entered just beyond the road's ends, and already on the move.
        if (c.one) {
            EXPECT_EQ(f.Civ1Speed, 30);
            EXPECT_EQ(f.imgCiv1().Top, float(480 - 30 + c.speed));
        }
        if (c.two) {
            EXPECT_EQ(f.Civ2Speed, 10);
            EXPECT_EQ(f.imgCiv2().Top, float(-32 - 10 + c.speed));
        }
    }
    TestGame g;
    entryTick(g.form, 15);
    g.form.TickCount = 18;
    civilianCarPhase(g.form, CivilianCar::One);
    civilianCarPhase(g.form, CivilianCar::Two);
    EXPECT_FALSE(g.form.imgCiv1().Visible);
    EXPECT_FALSE(g.form.imgCiv2().Visible);
}

TEST(CivilianCarEntry, OddsGrowWithTheEighthRootOfTheScore) {
    struct Case {
        double score;
        int16_t roll;
        bool enters;
    };
    const Case cases[] = {{0, 14, true},    {0, 15, false},    {1, 15, true},
                          {256, 17, false}, {256.5, 17, true}, {400000, 20, true}};
    for (const Case& c : cases) {
        TestGame g;
        Form& f = g.form;
        entryTick(f, 15);
        f.Score = c.score;
        f.RandomRoll = c.roll;
        civilianCarPhase(f, CivilianCar::One);
        EXPECT_EQ(f.imgCiv1().Visible, c.enters) << c.score << " roll " << c.roll;
    }
}

TEST(CivilianCarEntry, AWreckOnTheRoadKeepsItsCarAway) {
    TestGame g;
    Form& f = g.form;
    entryTick(f, 15);
    place(f.imgCiv1Crash(), 150, 100);
    place(f.imgCiv2Crash(), 250, 100);
    const RandomGenerator before = f.rng;
    civilianCarPhase(f, CivilianCar::One);
    civilianCarPhase(f, CivilianCar::Two);
    EXPECT_FALSE(f.imgCiv1().Visible);
    EXPECT_FALSE(f.imgCiv2().Visible);
    EXPECT_EQ(f.rng, before); // no lane was drawn
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
    civilianCarPhase(f, CivilianCar::One);
    ASSERT_TRUE(f.imgCiv1().Visible);
    EXPECT_EQ(f.imgCiv1().Left, lane);
    EXPECT_EQ(f.rng, expected);
}

TEST(CivilianCarEntry, OnlyCarOneKeepsClearOfTheMotorcycle) {
    for (CivilianCar which : {CivilianCar::One, CivilianCar::Two}) {
        TestGame g;
        Form& f = g.form;
        entryTick(f, 15);
        f.imgMs().Left = 150;
        const double span = which == CivilianCar::One ? 263 : 264;
        primeNextDraw(f, [span](float r) { return Int(span * r) == 54; });
        civilianCarPhase(f, which);
        const Control& car = which == CivilianCar::One ? f.imgCiv1() : f.imgCiv2();
        EXPECT_EQ(car.Left == 150.0f, which == CivilianCar::Two);
    }
}

TEST(CivilianCarEntry, ACarAtTheRoadsLeftLaneLeavesInTheSameTick) {
    for (CivilianCar which : {CivilianCar::One, CivilianCar::Two}) {
        TestGame g;
        Form& f = g.form;
        entryTick(f, 15);
        primeNextDraw(f, [](float r) { return r < 1.0f / 270; });
        civilianCarPhase(f, which);
        const Control& car = which == CivilianCar::One ? f.imgCiv1() : f.imgCiv2();
        const Control& wreck = which == CivilianCar::One ? f.imgCiv1Crash() : f.imgCiv2Crash();
        // Outside the band it stood still, drifted a pixel and was already
        // past the road's edge.
        EXPECT_EQ(car.Left, 97.0f);
        EXPECT_FALSE(car.Visible);
        EXPECT_FALSE(wreck.Visible);
        EXPECT_EQ(f.Score, 0.0);
    }
}

TEST(CivilianCarContact, SteeringIntoACarShovesItByTheSpeed) {
    struct Case {
        int32_t prevLeft, prevRight;
        float left;
    };
    for (const Case& c : {Case{1, 0, 200}, Case{0, 1, 220}, Case{1, 1, 200}}) {
        TestGame g;
        Form& f = onTheRoad(g, 10);
        f.Civ1Speed = 30;
        f.picCar().Visible = false; // the hit box is not asked
        place(f.imgCiv1(), 210, 320);
        f.PrevLeftHeld = c.prevLeft;
        f.PrevRightHeld = c.prevRight;
        civilianCarPhase(f, CivilianCar::One);
        EXPECT_EQ(f.imgCiv1().Left, c.left);
        EXPECT_EQ(f.imgCiv1().Top, 320.0f); // held: no driving this tick
        EXPECT_EQ(f.Civ1Bumped, 1);
        EXPECT_EQ(f.Speed, 10);
    }
}

TEST(CivilianCarContact, BumpsFrontAndBackTradeThreeOfSpeed) {
    struct Case {
        int16_t speed;
        float top, topAfter;
        int32_t ownSpeed;
        int16_t speedAfter;
    };
    const Case cases[] = {
        {10, 270, 259, 13, 7}, // the player runs into its back: set just ahead
        {10, 320, 320, 7, 13}, // it runs into the player's back: not moved
        {2, 270, 259, 5, -1},  // the speed is not limited here
    };
    for (const Case& c : cases) {
        TestGame g;
        Form& f = onTheRoad(g, c.speed);
        place(f.imgCiv1(), 210, c.top);
        civilianCarPhase(f, CivilianCar::One);
        EXPECT_EQ(f.imgCiv1().Top, c.topAfter) << c.top;
        EXPECT_EQ(f.Civ1Speed, c.ownSpeed) << c.top;
        EXPECT_EQ(f.Speed, c.speedAfter) << c.top;
        EXPECT_EQ(f.Civ1Bumped, 1);
    }
}

TEST(CivilianCarContact, ACarLevelWithThePlayerAndNoSteeringIsLeftAlone) {
    TestGame g;
    Form& f = onTheRoad(g, 15);
    f.Civ2Speed = 10;
    place(f.imgCiv2(), 210, 305); // within the player's 300..344
    civilianCarPhase(f, CivilianCar::Two);
    EXPECT_EQ(f.Civ2Bumped, 0);
    EXPECT_EQ(f.Speed, 15);
    EXPECT_EQ(f.imgCiv2().Top, 310.0f); // moved normally
}

TEST(CivilianCarContact, MeasuresBothSidesWithTheCivilianCarsWidth) {
    struct Case {
        CivilianCar which;
        float playerLeft;
        bool touches;
    };
    // Car 1 is 27 wide, car 2 26, the player 25: on the civilian car's left
    // a small gap still counts, on its right the test is exact.
    const Case cases[] = {{CivilianCar::One, 123.5f, true}, {CivilianCar::One, 123, false},
                          {CivilianCar::One, 176.5f, true}, {CivilianCar::One, 177, false},
                          {CivilianCar::Two, 124.5f, true}, {CivilianCar::Two, 124, false},
                          {CivilianCar::Two, 175.5f, true}, {CivilianCar::Two, 176, false}};
    for (const Case& c : cases) {
        TestGame g;
        Form& f = onTheRoad(g, 10);
        Control& car = c.which == CivilianCar::One ? f.imgCiv1() : f.imgCiv2();
        place(car, 150, 310);
        f.picCar().Left = c.playerLeft;
        f.PrevRightHeld = 1;
        civilianCarPhase(f, c.which);
        EXPECT_EQ(car.Left, c.touches ? 160.0f : 150.0f) << c.playerLeft;
    }
}

TEST(CivilianCarCrash, TheMedianWrecksCarOneAndCoversCarTwoUnlessItSticksOutBelow) {
    struct Case {
        CivilianCar which;
        float medianTop;
        bool wrecked;
        double score;
    };
    // The cars stand at Top 130; the median's lower end is at 742 or 142.
    const Case cases[] = {{CivilianCar::One, -1000, true, 200},
                          {CivilianCar::Two, -1000, false, 0},
                          {CivilianCar::Two, -1600, true, 100}};
    for (const Case& c : cases) {
        TestGame g;
        Form& f = onTheRoad(g, 25);
        f.picCar().Left = 320;
        place(f.picSplit(), 200, c.medianTop);
        Control& car = c.which == CivilianCar::One ? f.imgCiv1() : f.imgCiv2();
        Control& wreck = c.which == CivilianCar::One ? f.imgCiv1Crash() : f.imgCiv2Crash();
        place(car, 190, 130);
        civilianCarPhase(f, c.which);
        EXPECT_FALSE(car.Visible);
        EXPECT_EQ(wreck.Visible, c.wrecked);
        EXPECT_DOUBLE_EQ(f.Score, c.score);
        if (c.wrecked) {
            EXPECT_EQ(wreck.Left, 190.0f);
            EXPECT_EQ(wreck.Top, 130.0f);
        }
    }
}

TEST(CivilianCarCrash, AMedianEndingAtTheTopOfTheRoadIsNotHit) {
    TestGame g;
    Form& f = onTheRoad(g, 25);
    place(f.picSplit(), 200, -1742);
    place(f.imgCiv1(), 190, -20);
    civilianCarPhase(f, CivilianCar::One);
    EXPECT_FALSE(f.imgCiv1Crash().Visible);

    f.picSplit().Top = -1741;
    place(f.imgCiv1(), 190, -20);
    civilianCarPhase(f, CivilianCar::One);
    EXPECT_TRUE(f.imgCiv1Crash().Visible);
}

TEST(CivilianCarCrash, ACarPastARoadEdgeIsPutOnItAndWrecked) {
    struct Case {
        CivilianCar which;
        float left, wreckLeft;
        double reward;
    };
    for (const Case& c :
         {Case{CivilianCar::One, 71, 67.2f, 400}, Case{CivilianCar::One, 385, 388.8f, 400},
          Case{CivilianCar::Two, 71, 67.2f, 300}, Case{CivilianCar::Two, 385, 388.8f, 300}}) {
        TestGame g;
        Form& f = onTheRoad(g, 25);
        Control& car = c.which == CivilianCar::One ? f.imgCiv1() : f.imgCiv2();
        Control& wreck = c.which == CivilianCar::One ? f.imgCiv1Crash() : f.imgCiv2Crash();
        place(car, c.left, 100);
        civilianCarPhase(f, c.which);
        EXPECT_FALSE(car.Visible);
        EXPECT_TRUE(wreck.Visible);
        EXPECT_EQ(wreck.Left, c.wreckLeft);
        EXPECT_DOUBLE_EQ(f.Score, c.reward);
    }
}

TEST(CivilianCarCrash, AShovePastTheEdgeWrecksOnTheFirstTickWithoutContact) {
    TestGame g;
    Form& f = onTheRoad(g, 10);
    f.picCar().Left = 60;
    place(f.imgCiv1(), 80, 310);
    f.PrevLeftHeld = 1;
    civilianCarPhase(f, CivilianCar::One);
    EXPECT_EQ(f.imgCiv1().Left, 70.0f);
    EXPECT_TRUE(f.imgCiv1().Visible);

    f.Civ1Bumped = 0;
    f.PrevLeftHeld = 0;
    f.picCar().Top = 100; // no longer level
    civilianCarPhase(f, CivilianCar::One);
    EXPECT_TRUE(f.imgCiv1Crash().Visible);
    EXPECT_EQ(f.imgCiv1Crash().Left, 67.2f);
    EXPECT_DOUBLE_EQ(f.Score, 160.0);
}

TEST(CivilianCarCraters, EachCraterAheadSwervesTheCarUnlessTheMedianIsUp) {
    struct Case {
        CivilianCar which;
        bool median;
        float after;
    };
    const Case cases[] = {{CivilianCar::One, false, 188},
                          {CivilianCar::Two, false, 204},
                          {CivilianCar::One, true, 200}};
    for (const Case& c : cases) {
        TestGame g;
        Form& f = onTheRoad(g, 25);
        f.picCar().Left = 340;
        place(f.picSplit(), 120, -1742); // clear of the car, ending above it
        f.picSplit().Visible = c.median;
        f.CratersInPlay = 2;
        place(f.imgCrater(0), 200, 100);
        place(f.imgCrater(1), 190, 50);
        Control& car = c.which == CivilianCar::One ? f.imgCiv1() : f.imgCiv2();
        place(car, 200, 300);
        civilianCarPhase(f, c.which);
        EXPECT_EQ(car.Left, c.after);
    }
}

TEST(CivilianCarCraters, NoRoomNoSwerve) {
    TestGame g;
    Form& f = onTheRoad(g, 25);
    f.CratersInPlay = 1;
    place(f.imgCrater(0), 90, 100);
    place(f.imgCiv1(), 100.5f, 300); // 100.8 is the last Left with room
    civilianCarPhase(f, CivilianCar::One);
    EXPECT_EQ(f.imgCiv1().Left, 100.5f);

    place(f.imgCrater(0), 350, 100);
    place(f.imgCiv2(), 355.5f, 300); // 355.2 is the last Left with room
    civilianCarPhase(f, CivilianCar::Two);
    EXPECT_EQ(f.imgCiv2().Left, 355.5f);
}

TEST(CivilianCarCraters, ACraterBottomOnTheCarsTopWrecksIt) {
    TestGame g;
    Form& f = onTheRoad(g, 25);
    f.picCar().Left = 320;
    f.CratersInPlay = 1;
    place(f.imgCrater(1), 210, 271);
    place(f.imgCiv1(), 200, 300);
    civilianCarPhase(f, CivilianCar::One);
    EXPECT_TRUE(f.imgCiv1Crash().Visible);
    EXPECT_EQ(f.imgCiv1Crash().Left, 200.0f);
    EXPECT_DOUBLE_EQ(f.Score, 300.0);
    EXPECT_EQ(f.CraterIndex, 1);
}

TEST(CivilianCarCraters, OnePixelHigherTheCraterIsAheadAndTheCarSwerves) {
    TestGame g;
    Form& f = onTheRoad(g, 25);
    f.picCar().Left = 320;
    f.CratersInPlay = 1;
    place(f.imgCrater(1), 210, 270);
    place(f.imgCiv2(), 200, 300);
    civilianCarPhase(f, CivilianCar::Two);
    EXPECT_TRUE(f.imgCiv2().Visible);
    EXPECT_EQ(f.imgCiv2().Left, 202.0f);
    EXPECT_EQ(f.CraterIndex, 2);
}

TEST(CivilianCarLanes, DriftsBackUnlessThePlayerIsLevelAndInTheWay) {
    struct Case {
        float carLeft, playerLeft, playerTop, after;
    };
    // Car 1 at Top 300 spans 300..341; the player 44 high.
    const Case cases[] = {
        {90, 200, 100, 91},    // player far ahead: drifts right
        {90, 118, 300, 90},    // level, 1 pixel clear of its right edge: blocked
        {90, 118.5f, 300, 91}, // a little further: drifts
        {90, 40, 300, 90},     // level on its left: still blocked
        {90, 40, 341, 90},     // the player's top on its bottom edge is level
        {90, 40, 342, 91},     // one pixel lower it is not
        {370, 344, 256, 370},  // right side: edges touching vertically, in the way
        {370, 343.5f, 300, 369}, {370, 344, 255, 369}, {370, 200, 100, 369},
    };
    for (const Case& c : cases) {
        TestGame g;
        Form& f = onTheRoad(g, 25);
        f.picCar().Left = c.playerLeft;
        f.picCar().Top = c.playerTop;
        place(f.imgCiv1(), c.carLeft, 300);
        civilianCarPhase(f, CivilianCar::One);
        EXPECT_EQ(f.imgCiv1().Left, c.after) << c.carLeft << " " << c.playerLeft;
    }
}

TEST(CivilianCarLanes, OutsideTheBandACarNeitherDrivesNorScrolls) {
    TestGame g;
    Form& f = onTheRoad(g, 25);
    f.Civ1Speed = 30;
    place(f.imgCiv1(), 360, 100);
    civilianCarPhase(f, CivilianCar::One);
    EXPECT_EQ(f.imgCiv1().Top, 100.0f);
    place(f.imgCiv1(), 359, 100);
    civilianCarPhase(f, CivilianCar::One);
    EXPECT_EQ(f.imgCiv1().Top, 95.0f);
}

TEST(CivilianCarLanes, LeavesByTheTopOrTheBottomWithoutAWreck) {
    TestGame g;
    Form& f = onTheRoad(g, 20);
    f.Civ1Speed = 30;
    f.Civ2Speed = 10;
    place(f.imgCiv1(), 150, -31); // climbs 10 to -41: its bottom on the road's top
    place(f.imgCiv2(), 150, 470); // falls 10 to 480
    civilianCarPhase(f, CivilianCar::One);
    civilianCarPhase(f, CivilianCar::Two);
    EXPECT_FALSE(f.imgCiv1().Visible);
    EXPECT_FALSE(f.imgCiv2().Visible);
    EXPECT_FALSE(f.imgCiv1Crash().Visible);
    EXPECT_FALSE(f.imgCiv2Crash().Visible);

    place(f.imgCiv1(), 150, -30);
    place(f.imgCiv2(), 150, 469);
    civilianCarPhase(f, CivilianCar::One);
    civilianCarPhase(f, CivilianCar::Two);
    EXPECT_TRUE(f.imgCiv1().Visible);
    EXPECT_TRUE(f.imgCiv2().Visible);
}

} // namespace
} // namespace kestrada
