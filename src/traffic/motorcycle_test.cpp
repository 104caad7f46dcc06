#include "numeric.h"
#include "testing/test_game.h"
#include "traffic/motorcycle.h"

#include <gtest/gtest.h>

namespace kestrada {
namespace {

using testing::TestGame;

// Advances the game's generator until the draw it gives next satisfies pred,
// so a test can choose the lane the motorcycle is about to get.
template <class Pred> void primeNextDraw(Form& f, Pred pred) {
    for (;;) {
        RandomGenerator peek = f.rng;
        if (pred(peek.next())) {
            return;
        }
        f.rng.next();
    }
}

// Primes the draw that gives the lane at left (96 to 362).
void primeLane(Form& f, int left) {
    primeNextDraw(f, [left](float r) { return 96 + Int(267.0 * r) == left; });
}

void place(Control& c, float left, float top) {
    c.Left = left;
    c.Top = top;
    c.Visible = true;
}

Form& onTheRoad(TestGame& g, int16_t speed) {
    Form& f = g.form;
    f.TickCount = 1;
    f.Speed = speed;
    f.MotorcycleSpeed = 25;
    f.picCar().Left = 200;
    f.picCar().Top = 300;
    f.picCar().Visible = true;
    return f;
}

void entryTick(Form& f, int16_t roll) {
    f.TickCount = 17;
    f.RandomRoll = roll;
}

TEST(MotorcycleEntry, ComesOnFourteenRollsInTwenty) {
    for (int16_t roll : {1, 14, 15, 20}) {
        TestGame g;
        Form& f = g.form;
        entryTick(f, roll);
        motorcyclePhase(f);
        EXPECT_EQ(f.imgMs().Visible, roll < 15) << roll;
        EXPECT_EQ(f.MotorcycleSpeed, roll < 15 ? 25 : 0) << roll;
        if (roll < 15) {
            EXPECT_EQ(f.imgMs().Top, 455.0f); // 480, then up by 25 at rest
        }
    }
}

TEST(MotorcycleEntry, AnyShownPictureOrItsWreckKeepsItAway) {
    using Picture = Control& (Form::*)();
    const Picture pictures[] = {&Form::imgMl, &Form::imgMr, &Form::imgMdead};
    for (Picture picture : pictures) {
        TestGame g;
        Form& f = g.form;
        entryTick(f, 1);
        place((f.*picture)(), 0, 0);
        const RandomGenerator before = f.rng;
        motorcyclePhase(f);
        EXPECT_FALSE(f.imgMs().Visible);
        EXPECT_EQ(f.rng, before);
    }
    TestGame g;
    Form& f = g.form;
    f.TickCount = 18;
    f.RandomRoll = 1;
    motorcyclePhase(f);
    EXPECT_FALSE(f.imgMs().Visible);
}

TEST(MotorcycleEntry, AtTopSpeedItIsGoneInTheTickItCame) {
    for (int16_t speed : {24, 25, 28}) {
        TestGame g;
        Form& f = g.form;
        entryTick(f, 1);
        f.Speed = speed;
        motorcyclePhase(f);
        EXPECT_EQ(f.imgMs().Visible, speed < 25) << speed;
        EXPECT_FALSE(f.imgMdead().Visible);
        EXPECT_EQ(f.Score, 0.0);
    }
}

// The lane that the redraws end on: the first drawn that clears both.
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

TEST(MotorcycleEntry, ALaneTouchingCarOneIsRedrawnEvenWithTheCarGone) {
    for (int touching : {177, 227}) {
        TestGame g;
        Form& f = g.form;
        entryTick(f, 1);
        f.imgCiv1().Left = 200; // hidden, parked
        primeLane(f, touching);
        RandomGenerator expected = f.rng;
        const float lane = firstFreeLane(expected, 200, 1000);
        motorcyclePhase(f);
        EXPECT_NE(f.imgMs().Left, float(touching));
        EXPECT_EQ(f.imgMs().Left, lane);
        EXPECT_EQ(f.rng, expected);
    }
}

TEST(MotorcycleEntry, OnlyAShownMedianBlocksALane) {
    for (bool shown : {false, true}) {
        TestGame g;
        Form& f = g.form;
        entryTick(f, 1);
        place(f.picSplit(), 200, -1000);
        f.picSplit().Visible = shown;
        primeLane(f, 281); // on the median's right edge
        motorcyclePhase(f);
        EXPECT_EQ(f.imgMs().Left == 281.0f, !shown);
        EXPECT_TRUE(f.imgMs().Visible);
    }
}

TEST(MotorcycleCrash, TheMedianCountsOnlyWhileItsEndIsOnTheRoad) {
    for (float medianTop : {-1742.0f, -1741.0f}) {
        TestGame g;
        Form& f = onTheRoad(g, 25);
        place(f.picSplit(), 200, medianTop);
        place(f.imgMs(), 210, -20);
        motorcyclePhase(f);
        const bool wrecked = medianTop > -1742;
        EXPECT_EQ(f.imgMs().Visible, !wrecked);
        EXPECT_EQ(f.imgMdead().Visible, wrecked);
        EXPECT_DOUBLE_EQ(f.Score, wrecked ? 50.0 : 0.0);
    }
}

TEST(MotorcycleCrash, RunningItDownCostsThePlayerNothing) {
    TestGame g;
    Form& f = onTheRoad(g, 10);
    f.picCar().Visible = false; // not asked
    place(f.imgMs(), 210, 310);
    motorcyclePhase(f);
    EXPECT_FALSE(f.imgMs().Visible);
    EXPECT_TRUE(f.imgMdead().Visible);
    EXPECT_EQ(f.imgMdead().Left, 210.0f);
    EXPECT_EQ(f.imgMdead().Top, 310.0f);
    EXPECT_DOUBLE_EQ(f.Score, 20.0);
    EXPECT_EQ(f.Speed, 10);
    EXPECT_EQ(f.picCar().Left, 200.0f);
    EXPECT_EQ(f.picCar().Top, 300.0f);
    EXPECT_FALSE(f.GameOver);
}

TEST(MotorcycleCrash, ACraterBottomOnItsTopWrecksIt) {
    TestGame g;
    Form& f = onTheRoad(g, 25);
    f.CratersInPlay = 1;
    place(f.imgCrater(1), 305, 271);
    place(f.imgMs(), 300, 300);
    motorcyclePhase(f);
    EXPECT_TRUE(f.imgMdead().Visible);
    EXPECT_EQ(f.imgMdead().Left, 300.0f);
    EXPECT_EQ(f.CraterIndex, 1);
}

TEST(MotorcycleRide, ClimbsByTwentyFiveLessTheSpeed) {
    TestGame g;
    Form& f = onTheRoad(g, 10);
    place(f.imgMs(), 300, 100);
    motorcyclePhase(f);
    EXPECT_EQ(f.imgMs().Top, 85.0f);
    f.Speed = 25;
    motorcyclePhase(f);
    EXPECT_EQ(f.imgMs().Top, 85.0f);
    f.Speed = 0;
    f.imgMs().Top = -7;
    motorcyclePhase(f);
    EXPECT_FALSE(f.imgMs().Visible); // its bottom edge on the road's top
    EXPECT_FALSE(f.imgMdead().Visible);
}

TEST(MotorcycleRide, SwervesFromCratersAheadAwayFromThePlayer) {
    struct Case {
        float playerLeft;
        int craters;
        float after;
    };
    // The motorcycle spans 300..323.
    const Case cases[] = {
        {200, 1, 305}, // player wholly to its left: out to the right
        {200, 2, 310}, // each crater ahead swerves it again
        {400, 1, 295}, // player wholly to its right: out to the left
        {323, 1, 300}, // its right edge on the player's left edge: level
        {290, 1, 300}, // level with the player: no swerve
        {200, 0, 300},
    };
    for (const Case& c : cases) {
        TestGame g;
        Form& f = onTheRoad(g, 25);
        f.picCar().Left = c.playerLeft;
        f.picCar().Top = 400; // below the motorcycle, never touching it
        f.CratersInPlay = int16_t(c.craters);
        if (c.craters > 0) {
            place(f.imgCrater(0), 290, 100);
        }
        if (c.craters > 1) {
            place(f.imgCrater(1), 300, -400); // far ahead still counts
        }
        place(f.imgMs(), 300, 300);
        motorcyclePhase(f);
        EXPECT_EQ(f.imgMs().Left, c.after) << c.playerLeft << " " << c.craters;
        EXPECT_TRUE(f.imgMs().Visible);
    }
}

TEST(MotorcycleRide, IsHeldAtTheRoadEdgesNotWrecked) {
    for (const auto& [from, to] : {std::pair<float, float>{70, 67.2f}, {386, 388.8f}}) {
        TestGame g;
        Form& f = onTheRoad(g, 25);
        f.picCar().Top = 100;
        place(f.imgMs(), from, 300);
        motorcyclePhase(f);
        EXPECT_EQ(f.imgMs().Left, to);
        EXPECT_TRUE(f.imgMs().Visible);
        EXPECT_FALSE(f.imgMdead().Visible);
    }
}

} // namespace
} // namespace kestrada
