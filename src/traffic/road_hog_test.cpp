#include "app/key_codes.h"
#include "app/overlap.h"
#include "numeric.h"
#include "testing/test_game.h"
#include "traffic/road_hog.h"

#include <gtest/gtest.h>

namespace kestrada {
namespace {

using testing::TestGame;

// Advances the game's generator until the draw it gives next satisfies pred,
// so a test can choose the lane the hog is about to get.
template <class Pred> void primeNextDraw(Form& f, Pred pred) {
    for (;;) {
        RandomGenerator peek = f.rng;
        if (pred(peek.next())) {
            return;
        }
        f.rng.next();
    }
}

void place(Control& c, float left, float top) {
    c.Left = left;
    c.Top = top;
    c.Visible = true;
}

// The player's car on the road at (300, 300), nothing else about.
Form& onTheRoad(TestGame& g, int16_t speed) {
    Form& f = g.form;
    f.TickCount = 1;
    f.Speed = speed;
    f.picCar().Left = 300;
    f.picCar().Top = 300;
    f.picCar().Visible = true;
    return f;
}

// A hog pressed against the car's left flank, level with it.
void againstTheFlank(Form& f) {
    place(f.imgHog(), 276, 300);
}

TEST(RoadHogEntry, NeedsMoreThan2500PointsAndALowEnoughRoll) {
    struct Case {
        double score;
        int16_t roll;
        bool enters;
    };
    const Case cases[] = {{2500, 1, false},    {2500.5, 1, true},   {2500.5, 7, true},
                          {6561, 8, false},    {6561, 7, true},     {6562, 8, true},
                          {1700000, 11, true}, {1700000, 12, false}};
    for (const Case& c : cases) {
        TestGame g;
        Form& f = g.form;
        f.TickCount = 68;
        f.RandomRoll = c.roll;
        f.Score = c.score;
        EXPECT_EQ(roadHogPhase(f), PhaseResult::Continue);
        EXPECT_EQ(f.imgHog().Visible, c.enters) << c.score << " roll " << c.roll;
    }
}

TEST(RoadHogEntry, OnlyOnMultiplesOf68AndNotWhileItsWreckIsShown) {
    for (int32_t tick : {17, 34, 51, 69, 136}) {
        TestGame g;
        Form& f = g.form;
        f.TickCount = tick;
        f.RandomRoll = 1;
        f.Score = 3000;
        roadHogPhase(f);
        EXPECT_EQ(f.imgHog().Visible, tick == 136) << tick;
    }
    TestGame g;
    Form& f = g.form;
    f.TickCount = 68;
    f.RandomRoll = 1;
    f.Score = 3000;
    place(f.imgHogCrash(), 100, 100);
    const RandomGenerator before = f.rng;
    roadHogPhase(f);
    EXPECT_FALSE(f.imgHog().Visible);
    EXPECT_EQ(f.rng, before);
}

TEST(RoadHogEntry, EntersBelowTheRoadAndStartsTheHunt) {
    TestGame g;
    Form& f = g.form;
    f.TickCount = 68;
    f.RandomRoll = 1;
    f.Score = 3000;
    primeNextDraw(f, [](float r) { return Int(262.0 * r) == 100; });
    roadHogPhase(f);
    ASSERT_TRUE(f.imgHog().Visible);
    EXPECT_EQ(f.HogSpeed, 20);
    // Drawn at 196, Top 480, then one step of pursuit toward (386, 360).
    EXPECT_EQ(f.imgHog().Top, 478.0f);
    EXPECT_EQ(f.imgHog().Left, 200.0f);
}

TEST(RoadHogEntry, TheLaneIsDrawnOnceEvenOntoTheMedian) {
    TestGame g;
    Form& f = g.form;
    f.TickCount = 68;
    f.RandomRoll = 1;
    f.Score = 3000;
    f.Speed = 25;
    place(f.picSplit(), 200, -1000); // reaches down past the road
    primeNextDraw(f, [](float r) { return Int(262.0 * r) == 130; });
    RandomGenerator expected = f.rng;
    expected.next();
    roadHogPhase(f);
    EXPECT_EQ(f.rng, expected);
    EXPECT_FALSE(f.imgHog().Visible);
    EXPECT_TRUE(f.imgHogCrash().Visible);
    EXPECT_EQ(f.imgHogCrash().Left, 226.0f);
    EXPECT_EQ(f.imgHogCrash().Top, 480.0f);
    EXPECT_DOUBLE_EQ(f.Score, 3100.0);
}

TEST(RoadHogPursuit, SettlesLevelOrOnePixelBelowTheCar) {
    struct Case {
        float top, after;
    };
    for (const Case& c :
         {Case{300, 300}, Case{301, 301}, Case{299, 301}, Case{310, 308}, Case{250, 252}}) {
        TestGame g;
        Form& f = onTheRoad(g, 10);
        place(f.imgHog(), 150, c.top);
        roadHogPhase(f);
        EXPECT_EQ(f.imgHog().Top, c.after) << c.top;
    }
}

TEST(RoadHogPursuit, ClosesInOnTheCarsLeftFlank) {
    // The target Left is 300 - 28 + 1 = 273.
    struct Case {
        float from, settles;
    };
    for (const Case& c : {Case{350, 274}, Case{349, 273}, Case{275, 275}, Case{150, 274}}) {
        TestGame g;
        Form& f = onTheRoad(g, 10);
        place(f.imgHog(), c.from, 100);
        for (int i = 0; i < 40; ++i) {
            f.imgHog().Top = 100; // keep it clear of the car
            roadHogPhase(f);
        }
        EXPECT_EQ(f.imgHog().Left, c.settles) << c.from;
    }
}

TEST(RoadHogPursuit, TheMedianAndTheRoadsLeftOnlyBlockMovesToTheLeft) {
    struct Case {
        bool median;
        float from, after;
    };
    const Case cases[] = {
        {true, 283, 283},  // within 3 pixels right of the median: blocked
        {true, 285, 281},  // more than 3 pixels right of it: free
        {true, 170, 166},  // wholly left of it: free
        {false, 283, 279}, // no median, no block
        {false, 101, 97},  // 100.8 is the road's guard
        {false, 100.5f, 100.5f},
    };
    for (const Case& c : cases) {
        TestGame g;
        Form& f = onTheRoad(g, 10);
        f.picCar().Left = 40; // target 13, far to the left
        f.picCar().Top = 200;
        place(f.picSplit(), 200, -1642); // ends at 100, above the hog
        f.picSplit().Visible = c.median;
        place(f.imgHog(), c.from, 200);
        roadHogPhase(f);
        EXPECT_EQ(f.imgHog().Left, c.after) << c.from << (c.median ? " median" : "");
    }
    // Moving right is never blocked.
    TestGame g;
    Form& f = onTheRoad(g, 10);
    place(f.picSplit(), 200, -1642);
    place(f.imgHog(), 190, 200);
    roadHogPhase(f);
    EXPECT_EQ(f.imgHog().Left, 194.0f);
}

TEST(RoadHogContact, ShovesTheCarRightAndSlowsItAboveThree) {
    struct Case {
        int16_t speed;
        float carLeft;
        int16_t speedAfter;
    };
    for (const Case& c : {Case{10, 307, 9}, Case{4, 301, 3}, Case{3, 302, 3}, Case{1, 302, 1}}) {
        TestGame g;
        Form& f = onTheRoad(g, c.speed);
        againstTheFlank(f);
        EXPECT_EQ(roadHogPhase(f), PhaseResult::Continue);
        EXPECT_EQ(f.picCar().Left, c.carLeft) << c.speed;
        EXPECT_EQ(f.Speed, c.speedAfter) << c.speed;
        EXPECT_TRUE(f.imgHog().Visible);
    }
}

TEST(RoadHogContact, SteeringLeftKnocksTheHogAwayAndItComesStraightBack) {
    TestGame g;
    Form& f = onTheRoad(g, 1);
    againstTheFlank(f);
    f.Form_KeyDown(kKeyLeft);
    roadHogPhase(f);
    EXPECT_EQ(f.picCar().Left, 299.0f);
    EXPECT_EQ(f.Speed, 1);
    // Knocked to 273, then its pursuit ends at the car's Left - 28 + 2.
    EXPECT_EQ(f.imgHog().Left, 273.0f);
    EXPECT_TRUE(overlaps(f.imgHog(), f.picCar()));
}

TEST(RoadHogContact, AStoppedCarTouchedByTheHogIsFinished) {
    for (int32_t left : {0, 1}) {
        TestGame g;
        Form& f = onTheRoad(g, 0);
        f.picCar().Visible = false; // the hog feels the car all the same
        f.LeftHeld = left;
        againstTheFlank(f);
        EXPECT_EQ(roadHogPhase(f), PhaseResult::EndTick);
        EXPECT_TRUE(f.GameOver);
        EXPECT_FALSE(f.tmrMain.Enabled);
        EXPECT_TRUE(f.imgWreck().Visible);
    }
}

TEST(RoadHogContact, ABumpThatStopsTheCarLetsTheHogEndTheGame) {
    TestGame g;
    Form& f = g.form;
    f.TickCount = 1;
    f.Speed = 3;
    f.PrevSpeed = 3;
    f.picCar().Left = 300;
    f.picCar().Top = 345;
    f.picCar().Visible = true;
    place(f.imgCiv1(), 300, 320); // ahead and touching: the player runs into it
    place(f.imgHog(), 276, 345);
    place(f.imgMs(), 300, 340); // on the car: only a later phase would wreck it
    f.tmrMain_Timer();
    EXPECT_EQ(f.Speed, 0);
    EXPECT_TRUE(f.GameOver);
    EXPECT_FALSE(f.tmrMain.Enabled);
    EXPECT_TRUE(f.imgMs().Visible);
    EXPECT_FALSE(f.imgMdead().Visible);
    g.ticks(5);
    EXPECT_EQ(f.TickCount, 2);
}

TEST(RoadHogCrash, KnockedOntoTheMedianAfterTouchingTheCar) {
    TestGame g;
    Form& f = onTheRoad(g, 20);
    f.picCar().Left = 306;
    place(f.picSplit(), 200, -1000);
    place(f.imgHog(), 282, 300); // touches the car, clear of the median
    f.LeftHeld = 1;
    roadHogPhase(f);
    EXPECT_EQ(f.picCar().Left, 305.0f);
    EXPECT_FALSE(f.imgHog().Visible);
    EXPECT_EQ(f.imgHogCrash().Left, 260.0f);
    EXPECT_DOUBLE_EQ(f.Score, 400.0);
}

TEST(RoadHogCrash, AHogOnTheMedianCrashesBeforeItTouchesTheCar) {
    TestGame g;
    Form& f = onTheRoad(g, 25);
    f.picCar().Left = 290;
    place(f.picSplit(), 200, -1000);
    place(f.imgHog(), 264, 300);
    roadHogPhase(f);
    EXPECT_TRUE(f.imgHogCrash().Visible);
    EXPECT_DOUBLE_EQ(f.Score, 100.0);
    EXPECT_EQ(f.picCar().Left, 290.0f);
    EXPECT_EQ(f.Speed, 25);
}

TEST(RoadHogCrash, IntoACraterAfterShovingTheCar) {
    TestGame g;
    Form& f = onTheRoad(g, 10);
    againstTheFlank(f);
    f.CratersInPlay = 1;
    place(f.imgCrater(1), 270, 271); // its bottom edge on the hog's top edge
    roadHogPhase(f);
    EXPECT_EQ(f.picCar().Left, 307.0f);
    EXPECT_TRUE(f.imgHogCrash().Visible);
    EXPECT_EQ(f.imgHogCrash().Left, 276.0f);
    EXPECT_DOUBLE_EQ(f.Score, 250.0 * 9 / 25);
    EXPECT_EQ(f.CraterIndex, 1);
}

TEST(RoadHogCrash, IntoACraterWhilePursuing) {
    TestGame g;
    Form& f = onTheRoad(g, 25);
    place(f.imgHog(), 150, 100);
    f.CratersInPlay = 1;
    place(f.imgCrater(0), 160, 73); // meets the hog after it moved to (154, 102)
    roadHogPhase(f);
    EXPECT_TRUE(f.imgHogCrash().Visible);
    EXPECT_EQ(f.imgHogCrash().Left, 154.0f);
    EXPECT_EQ(f.imgHogCrash().Top, 102.0f);
    EXPECT_DOUBLE_EQ(f.Score, 100.0);
    EXPECT_EQ(f.CraterIndex, 0);

    TestGame h;
    Form& e = onTheRoad(h, 25);
    place(e.imgHog(), 150, 100);
    e.CratersInPlay = 1;
    place(e.imgCrater(0), 160, 72);
    roadHogPhase(e);
    EXPECT_TRUE(e.imgHog().Visible);
    EXPECT_EQ(e.CraterIndex, 2);
}

TEST(RoadHogCrash, KnockedPastTheLeftEdgeIsWreckedAtFourteenPercent) {
    TestGame g;
    Form& f = onTheRoad(g, 20);
    f.picCar().Left = 90;
    place(f.imgHog(), 65, 300);
    f.LeftHeld = 1;
    roadHogPhase(f);
    // Knocked to 44, back to 48 by its pursuit, still below 72.
    EXPECT_FALSE(f.imgHog().Visible);
    EXPECT_EQ(f.imgHogCrash().Left, 67.2f);
    EXPECT_DOUBLE_EQ(f.Score, 400.0);
}

TEST(RoadHogCrash, PastTheRightEdgeIsWreckedAtEightyOnePercent) {
    TestGame g;
    Form& f = onTheRoad(g, 25);
    f.picCar().Left = 150;
    f.picCar().Top = 100;
    place(f.imgHog(), 390, 300);
    roadHogPhase(f);
    EXPECT_EQ(f.imgHogCrash().Left, 388.8f);
    EXPECT_DOUBLE_EQ(f.Score, 500.0);
}

} // namespace
} // namespace kestrada
