#include "app/overlap.h"
#include "hazards/wrecks.h"
#include "testing/test_game.h"

#include <algorithm>
#include <gtest/gtest.h>

namespace kestrada {
namespace {

using testing::TestGame;

void place(Control& c, float left, float top) {
    c.Left = left;
    c.Top = top;
    c.Visible = true;
}

// The player's car on the road surface at a steady speed, on a tick where
// nothing enters.
Form& driving(TestGame& g, int16_t speed) {
    Form& f = g.form;
    f.TickCount = 1;
    f.Speed = speed;
    f.PrevSpeed = speed;
    f.picCar().Left = 300;
    f.picCar().Top = 310;
    f.picCar().Visible = true;
    return f;
}

long crashSounds(const TestGame& g) {
    return std::count(g.soundLog.begin(), g.soundLog.end(), "sndCrash.play");
}

TEST(WreckScroll, WrecksRideDownWithTheRoadAndDropOffTheBottom) {
    TestGame g;
    Form& f = g.form;
    f.Speed = 25;
    place(f.imgCiv1Crash(), 150, 455);
    place(f.imgCiv2Crash(), 160, 454);
    f.imgHogCrash().Top = 100; // hidden: stays parked
    place(f.imgMdead(), 170, -100);
    wreckScrollPhase(f);
    EXPECT_FALSE(f.imgCiv1Crash().Visible); // exactly 480
    EXPECT_EQ(f.imgCiv1Crash().Top, 480.0f);
    EXPECT_TRUE(f.imgCiv2Crash().Visible);
    EXPECT_EQ(f.imgCiv2Crash().Top, 479.0f);
    EXPECT_EQ(f.imgHogCrash().Top, 100.0f);
    EXPECT_FALSE(f.imgHogCrash().Visible);
    EXPECT_TRUE(f.imgMdead().Visible); // the top edge never removes one
    EXPECT_EQ(f.imgMdead().Top, -75.0f);
    EXPECT_EQ(f.imgCiv2Crash().Left, 160.0f);
}

TEST(WreckCollisions, ACarRunningIntoAStandingWreckPaysNothingAtRest) {
    TestGame g;
    Form& f = driving(g, 0);
    f.picCar().Left = 386;
    f.picCar().Top = 360;
    f.Civ2Speed = 9; // relaxed to 10 by the head: its own motion is -10
    place(f.imgCiv1Crash(), 150, 200);
    place(f.imgCiv2(), 150, 220);
    f.tmrMain_Timer();
    EXPECT_EQ(f.imgCiv1Crash().Top, 200.0f);
    EXPECT_FALSE(f.imgCiv2().Visible);
    ASSERT_TRUE(f.imgCiv2Crash().Visible);
    EXPECT_EQ(f.imgCiv2Crash().Top, 210.0f);
    EXPECT_EQ(f.Score, 0.0);
    EXPECT_FALSE(f.GameOver);
}

TEST(WreckCollisions, RewardsFollowABumpedSpeedBelowZero) {
    TestGame g;
    Form& f = driving(g, -1);
    place(f.imgHogCrash(), 150, 200);
    place(f.imgCiv1(), 160, 210);
    wreckCollisionPhase(f);
    EXPECT_TRUE(f.imgCiv1Crash().Visible);
    EXPECT_DOUBLE_EQ(f.Score, -2.0);
}

TEST(WreckCollisions, AWreckMadeByOneTestIsThereForTheNext) {
    TestGame g;
    Form& f = driving(g, 25);
    place(f.imgCiv2Crash(), 150, 200);
    place(f.imgCiv1(), 160, 220); // test 1
    place(f.imgMs(), 170, 250);   // clear of car 2's wreck, on car 1's place
    EXPECT_FALSE(overlaps(f.imgMs(), f.imgCiv2Crash()));
    EXPECT_EQ(wreckCollisionPhase(f), PhaseResult::Continue);
    EXPECT_TRUE(f.imgCiv1Crash().Visible);
    EXPECT_EQ(f.imgCiv1Crash().Left, 160.0f);
    EXPECT_TRUE(f.imgMdead().Visible);
    EXPECT_EQ(f.imgMdead().Top, 250.0f);
    EXPECT_DOUBLE_EQ(f.Score, 100.0);
}

TEST(WreckCollisions, ANewWreckCanKillThePlayerInTheSameTick) {
    TestGame g;
    Form& f = driving(g, 25);
    place(f.imgCiv2Crash(), 280, 250);
    place(f.imgCiv1(), 290, 280); // touches the wreck and the player's car
    EXPECT_EQ(wreckCollisionPhase(f), PhaseResult::EndTick);
    EXPECT_TRUE(f.GameOver);
    EXPECT_FALSE(f.tmrMain.Enabled);
    EXPECT_EQ(crashSounds(g), 1);
}

TEST(WreckCollisions, EveryMovingVehicleCrashesIntoTheWrecksItMeets) {
    struct Case {
        ControlId vehicle, obstacle, ownWreck;
    };
    const Case cases[] = {
        {ControlId::imgCiv1, ControlId::imgCiv2Crash, ControlId::imgCiv1Crash},
        {ControlId::imgCiv2, ControlId::imgCiv1Crash, ControlId::imgCiv2Crash},
        {ControlId::imgMs, ControlId::imgCiv1Crash, ControlId::imgMdead},
        {ControlId::imgMs, ControlId::imgCiv2Crash, ControlId::imgMdead},
        {ControlId::imgMs, ControlId::imgHogCrash, ControlId::imgMdead},
        {ControlId::imgCiv1, ControlId::imgHogCrash, ControlId::imgCiv1Crash},
        {ControlId::imgCiv2, ControlId::imgHogCrash, ControlId::imgCiv2Crash},
    };
    for (const Case& c : cases) {
        TestGame g;
        Form& f = driving(g, 25);
        place(f.control(c.obstacle), 150, 200);
        place(f.control(c.vehicle), 155, 210);
        wreckCollisionPhase(f);
        EXPECT_FALSE(f.control(c.vehicle).Visible) << int(c.vehicle);
        EXPECT_TRUE(f.control(c.ownWreck).Visible) << int(c.vehicle);
        EXPECT_EQ(f.control(c.ownWreck).Left, 155.0f);
        EXPECT_DOUBLE_EQ(f.Score, 50.0);
        EXPECT_TRUE(f.control(c.obstacle).Visible);
    }
}

TEST(WreckCollisions, TheHogAndTheMotorcyclesWreckHurtNobody) {
    TestGame g;
    Form& f = driving(g, 25);
    place(f.imgMdead(), 150, 200);
    place(f.imgCiv1(), 155, 205);
    place(f.imgCiv2Crash(), 250, 100);
    place(f.imgHog(), 255, 105); // the hog drives over wrecks
    wreckCollisionPhase(f);
    EXPECT_TRUE(f.imgCiv1().Visible);
    EXPECT_TRUE(f.imgHog().Visible);
    EXPECT_FALSE(f.imgHogCrash().Visible);
    EXPECT_EQ(f.Score, 0.0);
}

TEST(WreckCollisions, ThePlayerDiesOnACivilianWreckEvenOffTheSurface) {
    for (ControlId wreck : {ControlId::imgCiv1Crash, ControlId::imgCiv2Crash}) {
        TestGame g;
        Form& f = driving(g, 25);
        f.picCar().Visible = false; // on the verge only the picture shows
        place(f.control(wreck), 310, 330);
        EXPECT_EQ(wreckCollisionPhase(f), PhaseResult::EndTick);
        EXPECT_TRUE(f.GameOver);
    }
}

TEST(WreckCollisions, TwoWrecksUnderTheCarEndTheGameOnce) {
    TestGame g;
    Form& f = driving(g, 25);
    place(f.imgCiv1Crash(), 300, 300);
    place(f.imgCiv2Crash(), 305, 330);
    g.soundLog.clear();
    EXPECT_EQ(wreckCollisionPhase(f), PhaseResult::EndTick);
    EXPECT_EQ(crashSounds(g), 1);
}

TEST(WreckCollisions, ThePlayerOnlyTouchingAWreckSurvives) {
    TestGame g;
    Form& f = driving(g, 25);
    place(f.imgCiv1Crash(), 325, 310); // against the car's right side
    place(f.imgCiv2Crash(), 300, 354); // against its back
    EXPECT_EQ(wreckCollisionPhase(f), PhaseResult::Continue);
    EXPECT_FALSE(f.GameOver);
}

TEST(WreckCollisions, ThePlayerDrivesOverTheHogsAndTheMotorcyclesWrecks) {
    TestGame g;
    Form& f = driving(g, 10);
    place(f.imgHogCrash(), 300, 290); // scrolled onto the car this tick
    place(f.imgMdead(), 300, 300);
    f.tmrMain_Timer();
    EXPECT_TRUE(overlaps(f.picCar(), f.imgHogCrash()));
    EXPECT_TRUE(overlaps(f.picCar(), f.imgMdead()));
    EXPECT_FALSE(f.GameOver);
    EXPECT_TRUE(f.tmrMain.Enabled);
    EXPECT_DOUBLE_EQ(f.Score, 2.5); // the tick ran to its end
}

} // namespace
} // namespace kestrada
