#include "hazards/craters.h"
#include "testing/test_game.h"

#include <algorithm>
#include <cmath>
#include <gtest/gtest.h>

namespace kestrada {
namespace {

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

bool spawnsWith(int16_t roll, double score) {
    TestGame g;
    spawnChance(g.form, roll, score);
    craterPhase(g.form);
    return g.form.CratersInPlay == 1;
}

int highestRollThatSpawns(double score) {
    int highest = 0;
    for (int16_t roll = 1; roll <= 20; ++roll) {
        if (spawnsWith(roll, score)) {
            EXPECT_EQ(roll, highest + 1) << "gap below roll " << roll << " at score " << score;
            highest = roll;
        }
    }
    return highest;
}

TEST(CraterSpawn, OddsGrowWithTheEighthRootOfTheScore) {
    EXPECT_EQ(highestRollThatSpawns(0), 9);
    EXPECT_EQ(highestRollThatSpawns(255.9), 11);
    EXPECT_EQ(highestRollThatSpawns(256), 11); // 2 + 10 > 12 is false
    EXPECT_EQ(highestRollThatSpawns(256.01), 12);
    EXPECT_EQ(highestRollThatSpawns(6561), 12); // root 3
    EXPECT_EQ(highestRollThatSpawns(1e8), 19);  // root 10: roll 20 still fails
    EXPECT_EQ(highestRollThatSpawns(1.01e8), 20);
}

TEST(CraterSpawn, OnlyOnEverySeventeenthTickAndWithAFreeCrater) {
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
    EXPECT_FALSE(f.imgCrater(1).Visible); // one per tick at most

    // With both on the road no third one is counted or placed.
    f.imgCrater(0).Top = 100;
    f.imgCrater(1).Top = 200;
    f.imgCrater(0).Visible = true;
    f.imgCrater(1).Visible = true;
    f.CratersInPlay = 2;
    f.TickCount = 68;
    const RandomGenerator before = f.rng;
    craterPhase(f);
    EXPECT_EQ(f.CratersInPlay, 2);
    EXPECT_EQ(f.imgCrater(0).Top, 105.0f);
    EXPECT_EQ(f.imgCrater(1).Top, 205.0f);
    EXPECT_EQ(f.rng, before);
}

TEST(CraterSpawn, TakesTheFirstFreeCraterJustAboveTheRoad) {
    TestGame g;
    Form& f = g.form;
    spawnChance(f, 1);
    f.imgCrater(0).Visible = true;
    f.imgCrater(0).Top = 300;
    f.CratersInPlay = 1;
    craterPhase(f);
    EXPECT_EQ(f.CratersInPlay, 2);
    EXPECT_TRUE(f.imgCrater(1).Visible);
    // Spawned and scrolled in the same tick.
    EXPECT_EQ(f.imgCrater(1).Top, -29.0f + 5);
    EXPECT_EQ(f.imgCrater(0).Top, 305.0f);
    EXPECT_EQ(f.CraterIndex, 2);
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

TEST(CraterSpawn, EveryFourthChanceHitsTheLaneTheCarHugs) {
    struct Case {
        float carLeft;
        int32_t tick;
        float craterLeft; // < 0: a random lane
    };
    const Case cases[] = {
        {360.48f, 68, 372.48f}, {380.0f, 136, 372.48f}, {95.52f, 68, 82.08f}, {70.0f, 204, 82.08f},
        {360.47f, 68, -1},      {95.53f, 68, -1},       {380.0f, 17, -1},     {95.52f, 85, -1},
        {380.0f, 34, -1},       {95.52f, 102, -1},
    };
    for (const Case& c : cases) {
        TestGame g;
        Form& f = g.form;
        spawnChance(f, 1);
        f.picCar().Left = c.carLeft;
        f.TickCount = c.tick;
        f.Speed = 0; // keeps the crater where it was placed
        const RandomGenerator before = f.rng;
        craterPhase(f);
        ASSERT_TRUE(f.imgCrater(0).Visible);
        if (c.craterLeft >= 0) {
            EXPECT_EQ(f.imgCrater(0).Left, c.craterLeft) << c.carLeft << " @" << c.tick;
            EXPECT_EQ(f.rng, before) << "a lane crater draws nothing";
        } else {
            EXPECT_NE(f.rng, before) << c.carLeft << " @" << c.tick;
            EXPECT_GE(f.imgCrater(0).Left, 96.0f);
            EXPECT_LE(f.imgCrater(0).Left, 358.0f);
        }
    }
}

// Winds the generator on until its next draw puts a random-lane crater on
// a Left inside [from, to].
void nextDrawLandsIn(Form& f, float from, float to) {
    for (int i = 0; i < 100000; ++i) {
        RandomGenerator probe = f.rng;
        const double left = 96 + std::floor(263.0 * probe.next());
        if (left >= from && left <= to) {
            return;
        }
        f.rng.next();
    }
    FAIL() << "no draw landed in range";
}

TEST(CraterSpawn, NeverLandsOnTheMedian) {
    TestGame g(3);
    Form& f = g.form;
    spawnChance(f, 1);
    f.TickCount = 17;
    f.picSplit().Visible = true;
    f.picSplit().Top = -1000;
    nextDrawLandsIn(f, 174, 280);
    craterPhase(f);
    EXPECT_EQ(f.imgCrater(0).Left, 173.0f);

    // The median's top level with the crater's bottom: not on it yet.
    f.imgCrater(0).Visible = false;
    f.CratersInPlay = 0;
    f.picSplit().Top = 0;
    nextDrawLandsIn(f, 174, 280);
    craterPhase(f);
    EXPECT_GE(f.imgCrater(0).Left, 174.0f);

    // A median that has left the road clears nothing.
    f.imgCrater(0).Visible = false;
    f.CratersInPlay = 0;
    f.picSplit().Top = -1000;
    f.picSplit().Visible = false;
    nextDrawLandsIn(f, 174, 280);
    craterPhase(f);
    EXPECT_GE(f.imgCrater(0).Left, 174.0f);
}

TEST(CraterSpawn, AMedianInTheLanePushesTheCraterToItsLeft) {
    TestGame g;
    Form& f = g.form;
    spawnChance(f, 1);
    f.TickCount = 68;
    f.picCar().Left = 370;
    f.picSplit().Left = 360; // straddling the right-hand lane
    f.picSplit().Visible = true;
    f.picSplit().Top = -500;
    craterPhase(f);
    EXPECT_EQ(f.imgCrater(0).Left, 333.0f);
}

TEST(CraterScroll, LeavesTheRoadWhenItsTopReachesTheBottom) {
    TestGame g;
    Form& f = g.form;
    f.TickCount = 1;
    f.Speed = 25;
    f.imgCrater(0).Visible = true;
    f.imgCrater(0).Top = 455;
    f.imgCrater(1).Visible = true;
    f.imgCrater(1).Top = 454;
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

TEST(CraterScroll, NothingAppearsOrMovesWhileTheCarStands) {
    TestGame g;
    Form& f = g.form;
    f.Score = 1e9; // every roll would spawn
    f.TickCount = 16;
    f.imgCrater(1).Visible = true;
    f.imgCrater(1).Top = 100;
    f.imgCrater(1).Left = 300;
    f.CratersInPlay = 1;
    g.ticks(1);
    EXPECT_EQ(f.TickCount, 17);
    EXPECT_EQ(f.CratersInPlay, 1);
    EXPECT_FALSE(f.imgCrater(0).Visible);
    EXPECT_EQ(f.imgCrater(1).Top, 100.0f);
}

TEST(CraterScroll, AMovingCarMeetsCratersThroughTheTimer) {
    TestGame g;
    Form& f = g.form;
    f.Score = 1e9;
    f.TickCount = 16;
    f.picCar().Left = 150;
    f.Speed = 20;
    f.PrevSpeed = 20;
    g.ticks(1);
    EXPECT_EQ(f.CratersInPlay, 1);
    ASSERT_TRUE(f.imgCrater(0).Visible);
    EXPECT_EQ(f.imgCrater(0).Top, -9.0f);
}

// The car at rest on the asphalt, a crater placed relative to it.
void craterNearCar(Form& f, float left, float top) {
    f.picCar().Left = 150;
    f.picCar().Top = 300;
    f.picCar().Visible = true;
    f.imgCrater(0).Left = left;
    f.imgCrater(0).Top = top;
    f.imgCrater(0).Visible = true;
    f.CratersInPlay = 1;
}

TEST(CraterHit, TheCraterBottomOnTheCarRoofAlreadyCounts) {
    // The car spans x 150..175 and y 300..344; craters are 27 x 29.
    const struct {
        float left;
        float top;
        bool dies;
    } cases[] = {
        {150, 271, true},                       // bottom edge on the roof
        {150, 270.5, false},                    // just short of it
        {150, 344, false},                      // top edge on the car's tail
        {150, 343.5, true},  {123, 300, false}, // right edge on the car's left side
        {123.5, 300, true},  {175, 300, false}, // left edge on the car's right side
        {174.5, 300, true},
    };
    for (const auto& c : cases) {
        TestGame g;
        craterNearCar(g.form, c.left, c.top);
        const PhaseResult result = playerCraterPhase(g.form);
        EXPECT_EQ(result == PhaseResult::EndTick, c.dies) << c.left << ", " << c.top;
        EXPECT_EQ(g.form.GameOver, c.dies) << c.left << ", " << c.top;
    }
}

TEST(CraterHit, EvenAHiddenHitBoxHitsButAHiddenCraterDoesNot) {
    TestGame g;
    Form& f = g.form;
    craterNearCar(f, 150, 290);
    f.imgCrater(0).Visible = false;
    EXPECT_EQ(playerCraterPhase(f), PhaseResult::Continue);
    EXPECT_EQ(f.CraterIndex, 2);

    f.imgCrater(0).Visible = true;
    f.picCar().Visible = false;
    EXPECT_EQ(playerCraterPhase(f), PhaseResult::EndTick);
}

TEST(CraterHit, StopsAtTheFirstCraterThatHitsAndDiesOnce) {
    TestGame g;
    Form& f = g.form;
    craterNearCar(f, 150, 290);
    f.imgCrater(1) = f.imgCrater(0);
    f.CratersInPlay = 2;
    g.soundLog.clear();
    EXPECT_EQ(playerCraterPhase(f), PhaseResult::EndTick);
    EXPECT_EQ(f.CraterIndex, 0);
    EXPECT_EQ(std::count(g.soundLog.begin(), g.soundLog.end(), "sndCrash.play"), 1);

    TestGame h;
    craterNearCar(h.form, 400, 290); // crater 0 far away
    h.form.imgCrater(1) = h.form.imgCrater(0);
    h.form.imgCrater(1).Left = 150;
    h.form.CratersInPlay = 2;
    EXPECT_EQ(playerCraterPhase(h.form), PhaseResult::EndTick);
    EXPECT_EQ(h.form.CraterIndex, 1);
}

TEST(CraterHit, AStandingCarStillDiesAndTheTickEndsThere) {
    TestGame g;
    Form& f = g.form;
    craterNearCar(f, 150, 290);
    f.Speed = 0;
    f.UpHeld = 1;
    g.ticks(1);
    EXPECT_TRUE(f.GameOver);
    EXPECT_FALSE(f.tmrMain.Enabled);
    EXPECT_EQ(f.imgWreck().Left, 150.0f);
    EXPECT_EQ(f.Speed, 0); // the pedal was never read
    EXPECT_EQ(f.linSpeed.X2, 515.0f);
}

} // namespace
} // namespace kestrada
