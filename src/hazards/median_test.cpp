#include "hazards/median.h"
#include "numeric.h"
#include "testing/test_game.h"

#include <algorithm>
#include <cmath>
#include <gtest/gtest.h>

namespace kestrada {
namespace {

using testing::TestGame;

long crashSounds(const TestGame& g) {
    return std::count(g.soundLog.begin(), g.soundLog.end(), "sndCrash.play");
}

// The car on the asphalt at speed with its hit box shown, and the median
// level with it.
void besideMedian(Form& f, float carLeft) {
    f.Speed = 10;
    f.PrevSpeed = 10;
    f.picCar().Left = carLeft;
    f.picCar().Top = 310;
    f.picCar().Visible = true;
    f.picSplit().Visible = true;
    f.picSplit().Top = -1000;
}

TEST(MedianPhase, RoadEdgesKillOnTheLimitItself) {
    for (float left : {67.2f, 388.8f, 20.0f, 400.0f}) {
        TestGame g;
        g.form.picCar().Left = left;
        EXPECT_EQ(playerMedianPhase(g.form), PhaseResult::EndTick) << left;
        EXPECT_TRUE(g.form.GameOver) << left;
    }
    for (float left : {std::nextafter(67.2f, 100.0f), std::nextafter(388.8f, 0.0f), 150.0f}) {
        TestGame g;
        g.form.picCar().Left = left;
        EXPECT_EQ(playerMedianPhase(g.form), PhaseResult::Continue) << left;
        EXPECT_FALSE(g.form.GameOver) << left;
    }
}

TEST(MedianPhase, OffTheEdgeEndsTheTickThroughTheTimer) {
    TestGame g;
    Form& f = g.form;
    f.picCar().Left = 388.8f;
    f.Speed = 10;
    f.PrevSpeed = 10;
    f.UpHeld = 1;
    g.soundLog.clear();
    f.tmrMain_Timer();
    EXPECT_TRUE(f.GameOver);
    EXPECT_FALSE(f.tmrMain.Enabled);
    EXPECT_TRUE(f.imgWreck().Visible);
    EXPECT_EQ(f.imgWreck().Left, 388.8f);
    // Nothing after the crash ran: no acceleration, no distance score.
    EXPECT_EQ(f.Speed, 10);
    EXPECT_EQ(f.Score, 0.0);
    EXPECT_EQ(crashSounds(g), 1);
}

TEST(MedianPhase, TouchingTheMedianOnlyAlongAnEdgeIsSafe) {
    // The median spans x 200 to 281; the car is 25 wide.
    for (float left : {175.0f, 281.0f}) {
        TestGame g;
        besideMedian(g.form, left);
        g.ticks(1);
        EXPECT_FALSE(g.form.GameOver) << left;
    }
    for (float left : {175.5f, 280.5f, 230.0f}) {
        TestGame g;
        besideMedian(g.form, left);
        g.ticks(1);
        EXPECT_TRUE(g.form.GameOver) << left;
        EXPECT_EQ(g.form.imgSplit().Top, g.form.picSplit().Top) << left;
    }
}

TEST(MedianPhase, AMedianOnlyCountsWhileItIsOnTheRoad) {
    TestGame g;
    Form& f = g.form;
    besideMedian(f, 230);
    f.picSplit().Visible = false;
    EXPECT_EQ(playerMedianPhase(f), PhaseResult::Continue);

    // The median's lower end above the car's roof: no contact.
    besideMedian(f, 230);
    f.picSplit().Top = single(310.0 - 1742.0);
    EXPECT_EQ(playerMedianPhase(f), PhaseResult::Continue);
    // A car drawn only by its picture is not tested.
    f.picSplit().Top = single(310.5 - 1742.0);
    f.picCar().Visible = false;
    EXPECT_EQ(playerMedianPhase(f), PhaseResult::Continue);
    f.picCar().Visible = true;
    EXPECT_EQ(playerMedianPhase(f), PhaseResult::EndTick);
}

TEST(MedianPhase, DiesOnceWhenMedianAndEdgeBothApply) {
    TestGame g;
    Form& f = g.form;
    besideMedian(f, 250);
    // A narrower road puts its right edge (0.81 x 300 = 243) inside the
    // median, so both tests would fire.
    f.imgRoad().Width = 300;
    g.soundLog.clear();
    EXPECT_EQ(playerMedianPhase(f), PhaseResult::EndTick);
    EXPECT_EQ(crashSounds(g), 1);
}

} // namespace
} // namespace kestrada
