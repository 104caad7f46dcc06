#include "hazards/craters.h"
#include "numeric.h"
#include "testing/scene.h"

#include <algorithm>
#include <cmath>
#include <gtest/gtest.h>

namespace kestrada {
namespace {

using testing::place;
using testing::primeNextDraw;
using testing::TestGame;

// A spawn chance: a tick that is a multiple of 17, both craters free, the
// car driving on the asphalt away from both verges.
void spawnChance(Form& f, int16_t roll, double score = 0) {
    f.TickCount = 34;
    f.RandomRoll = roll;
    f.Score = score;
    f.Speed = 5;
    f.picCar().Left = 150;
    f.picSplit().Visible = false;
}

TEST(CraterSpawn, OddsGrowWithTheEighthRootOfTheScore) {
    const struct {
        double score;
        int highestRoll;
    } cases[] = {{0, 9},       {255.9, 11}, {256, 11}, // 2 + 10 > 12 is false
                 {256.01, 12}, {6561, 12},  {1e8, 19}, {1.01e8, 20}};
    for (const auto& c : cases) {
        for (int16_t roll = 1; roll <= 20; ++roll) {
            TestGame g;
            spawnChance(g.form, roll, c.score);
            craterPhase(g.form);
            EXPECT_EQ(g.form.CratersInPlay == 1, roll <= c.highestRoll)
                << "roll " << roll << " at score " << c.score;
        }
    }
}

TEST(CraterSpawn, OnlyOnEverySeventeenthTickOneAtATimeIntoAFreeCrater) {
    TestGame g;
    Form& f = g.form;
    spawnChance(f, 1);
    f.TickCount = 35;
    craterPhase(f);
    EXPECT_EQ(f.CratersInPlay, 0);
    EXPECT_FALSE(f.imgCrater(0).Visible);

    f.TickCount = 51;
    craterPhase(f);
    EXPECT_EQ(f.CratersInPlay, 1);
    EXPECT_TRUE(f.imgCrater(0).Visible);
    EXPECT_FALSE(f.imgCrater(1).Visible);
    // Spawned just above the road and scrolled in the same tick.
    EXPECT_EQ(f.imgCrater(0).Top, -29.0f + 5);

    f.TickCount = 68;
    craterPhase(f);
    EXPECT_EQ(f.CratersInPlay, 2);
    EXPECT_EQ(f.imgCrater(1).Top, -29.0f + 5);
    EXPECT_EQ(f.imgCrater(0).Top, -29.0f + 10);
    EXPECT_EQ(f.CraterIndex, 2);

    // With both on the road no third one is counted or placed.
    f.TickCount = 85;
    const RandomGenerator before = f.rng;
    craterPhase(f);
    EXPECT_EQ(f.CratersInPlay, 2);
    EXPECT_EQ(f.imgCrater(0).Top, -29.0f + 15);
    EXPECT_EQ(f.rng, before);
}

TEST(CraterSpawn, RandomLaneSpansTheAsphaltWithOneDrawPerSpawn) {
    TestGame g(7);
    Form& f = g.form;
    float lowest = 1000;
    float highest = -1000;
    for (int i = 0; i < 3000; ++i) {
        spawnChance(f, 1);
        f.TickCount = 17; // never a lane-rule tick
        f.imgCrater(0).Visible = false;
        f.CratersInPlay = 0;
        RandomGenerator expected = f.rng;
        expected.next();
        craterPhase(f);
        ASSERT_EQ(f.rng, expected);
        const float left = f.imgCrater(0).Left;
        ASSERT_EQ(left, std::floor(left));
        lowest = std::min(lowest, left);
        highest = std::max(highest, left);
    }
    EXPECT_EQ(lowest, 96.0f);
    EXPECT_EQ(highest, 358.0f);
}

// Every fourth chance drops the crater into the lane of a car hugging a
// verge, drawing nothing; otherwise one draw puts it anywhere on the asphalt.
// A crater that would land on a shown median on the road goes to its left.
TEST(CraterSpawn, LandsInTheHuggedLaneOrAtRandomButNeverOnTheMedian) {
    struct Case {
        float carLeft;
        int32_t tick;
        float medianLeft, medianTop;
        bool medianShown, drawn;
        float craterLeft; // 0: where the draw put it, in the median's column
    };
    const Case cases[] = {
        {360.48f, 68, 200, -1000, false, false, 372.48f},
        {380.0f, 136, 200, -1000, false, false, 372.48f},
        {95.52f, 68, 200, -1000, false, false, 82.08f},
        {70.0f, 204, 200, -1000, false, false, 82.08f},
        {360.47f, 68, 200, -1000, false, true, 0},
        {95.53f, 68, 200, -1000, false, true, 0},
        {380.0f, 17, 200, -1000, false, true, 0},
        {95.52f, 85, 200, -1000, false, true, 0},
        {380.0f, 34, 200, -1000, false, true, 0},
        {95.52f, 102, 200, -1000, false, true, 0},
        {150, 17, 200, -1000, true, true, 173},
        {150, 17, 200, 0, true, true, 0},       // its top level with the crater's bottom
        {370, 68, 360, -500, true, false, 333}, // straddling the hugged lane
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message() << c.carLeft << " @" << c.tick << " median at "
                                          << c.medianLeft << ", " << c.medianTop);
        TestGame g;
        Form& f = g.form;
        spawnChance(f, 1);
        f.picCar().Left = c.carLeft;
        f.TickCount = c.tick;
        f.Speed = 0; // keeps the crater where it was placed
        place(f.picSplit(), c.medianLeft, c.medianTop);
        f.picSplit().Visible = c.medianShown;
        primeNextDraw(f, [](float r) { return Int(263.0 * r) >= 78 && Int(263.0 * r) <= 184; });
        const RandomGenerator before = f.rng;
        craterPhase(f);
        ASSERT_TRUE(f.imgCrater(0).Visible);
        EXPECT_EQ(f.rng != before, c.drawn);
        if (c.craterLeft != 0) {
            EXPECT_EQ(f.imgCrater(0).Left, c.craterLeft);
        } else {
            EXPECT_GE(f.imgCrater(0).Left, 174.0f);
            EXPECT_LE(f.imgCrater(0).Left, 280.0f);
        }
    }
}

TEST(CraterScroll, LeavesTheRoadWhenItsTopReachesTheBottom) {
    TestGame g;
    Form& f = g.form;
    f.TickCount = 1;
    f.Speed = 25;
    place(f.imgCrater(0), 200, 455);
    place(f.imgCrater(1), 200, 454);
    f.CratersInPlay = 2;
    craterPhase(f);
    EXPECT_FALSE(f.imgCrater(0).Visible);
    EXPECT_EQ(f.imgCrater(0).Top, 480.0f);
    EXPECT_TRUE(f.imgCrater(1).Visible);
    EXPECT_EQ(f.imgCrater(1).Top, 479.0f);
    EXPECT_EQ(f.CratersInPlay, 1);
    craterPhase(f);
    EXPECT_EQ(f.CratersInPlay, 0);
    EXPECT_EQ(f.imgCrater(0).Top, 480.0f); // a free crater stays parked
}

TEST(CraterScroll, OnlyAMovingCarMeetsNewCratersThroughTheTimer) {
    for (const int16_t speed : {0, 20}) {
        TestGame g;
        Form& f = g.form;
        f.Score = 1e9; // every roll would spawn
        f.TickCount = 16;
        f.picCar().Left = 150;
        f.Speed = speed;
        f.PrevSpeed = speed;
        place(f.imgCrater(1), 300, 100);
        f.CratersInPlay = 1;
        g.ticks(1);
        EXPECT_EQ(f.TickCount, 17);
        EXPECT_EQ(f.CratersInPlay, speed > 0 ? 2 : 1) << speed;
        EXPECT_EQ(f.imgCrater(0).Visible, speed > 0) << speed;
        if (speed > 0) {
            EXPECT_EQ(f.imgCrater(0).Top, -9.0f); // spawned and scrolled at once
        }
        EXPECT_EQ(f.imgCrater(1).Top, 100.0f + speed) << speed;
    }
}

TEST(CraterHit, TheCraterBottomOnTheCarRoofAlreadyCounts) {
    // The car spans x 150..175 and y 300..344; craters are 27 x 29.
    const struct {
        float left, top;
        bool craterShown, carShown, dies;
    } cases[] = {
        {150, 271, true, true, true},    // bottom edge on the roof
        {150, 270.5, true, true, false}, // just short of it
        {150, 344, true, true, false},   // top edge on the car's tail
        {150, 343.5, true, true, true},  //
        {123, 300, true, true, false},   // right edge on the car's left side
        {123.5, 300, true, true, true},  //
        {175, 300, true, true, false},   // left edge on the car's right side
        {174.5, 300, true, true, true},  //
        {150, 290, false, true, false},  // a hidden crater does not count
        {150, 290, true, false, true},   // a hidden hit box does
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::Message() << c.left << ", " << c.top);
        TestGame g;
        Form& f = testing::onTheRoad(g, 0, 150, 300);
        f.picCar().Visible = c.carShown;
        place(f.imgCrater(0), c.left, c.top);
        f.imgCrater(0).Visible = c.craterShown;
        f.CratersInPlay = 1;
        f.UpHeld = 1;
        g.ticks(1);
        EXPECT_EQ(f.GameOver, c.dies);
        EXPECT_EQ(f.CraterIndex, c.dies ? 0 : 2);
        // The crash ends the tick: the pedal was never read.
        EXPECT_EQ(f.Speed, c.dies ? 0 : 1);
    }
}

TEST(CraterHit, StopsAtTheFirstCraterThatHitsAndDiesOnce) {
    for (const int first : {0, 1}) {
        TestGame g;
        Form& f = testing::onTheRoad(g, 0, 150, 300);
        place(f.imgCrater(0), first == 0 ? 150 : 400, 290);
        place(f.imgCrater(1), 150, 290);
        f.CratersInPlay = 2;
        g.soundLog.clear();
        EXPECT_EQ(playerCraterPhase(f), PhaseResult::EndTick);
        EXPECT_EQ(f.CraterIndex, first);
        EXPECT_EQ(testing::crashSounds(g), 1);
    }
}

} // namespace
} // namespace kestrada
