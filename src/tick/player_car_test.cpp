#include "app/key_codes.h"
#include "testing/test_game.h"
#include "tick/player_car.h"

#include <gtest/gtest.h>

namespace kestrada {
namespace {

using testing::TestGame;

void placeCar(Form& f, float left, int16_t speed) {
    f.picCar().Left = left;
    f.Speed = speed;
    f.PrevSpeed = speed;
}

TEST(PlayerCar, TheSurfaceEndsAtItsEdgeInclusive) {
    TestGame g;
    placeCar(g.form, 95.52f, 10);
    g.ticks(1);
    // Off: one for the verge and one more for not holding Up.
    EXPECT_EQ(g.form.Speed, 8);
    EXPECT_TRUE(g.form.OffRoad);
    EXPECT_FALSE(g.form.picCar().Visible);
    EXPECT_TRUE(g.form.imgCar().Visible);

    TestGame h;
    placeCar(h.form, 95.53f, 10);
    h.ticks(1);
    EXPECT_EQ(h.form.Speed, 10);
    EXPECT_FALSE(h.form.OffRoad);
    EXPECT_TRUE(h.form.picCar().Visible);
    EXPECT_FALSE(h.form.imgCar().Visible);

    for (float left : {360.48f, 365.0f}) {
        TestGame r;
        placeCar(r.form, left, 10);
        r.ticks(1);
        EXPECT_EQ(r.form.Speed, 8) << left;
    }
    TestGame r;
    placeCar(r.form, 360.47f, 10);
    r.ticks(1);
    EXPECT_EQ(r.form.Speed, 10);
}

TEST(PlayerCar, UpFromRestClimbsFivePixelsPerUnitOfSpeed) {
    TestGame g;
    Form& f = g.form;
    placeCar(f, 150, 0);
    f.Form_KeyDown(kKeyUp);
    // The first ticks through the timer, the rest of the run on the phase.
    for (int tick = 1; tick <= 10; ++tick) {
        g.ticks(1);
        ASSERT_EQ(f.Speed, tick);
        ASSERT_EQ(f.picCar().Top, 360.0f - 5 * tick) << tick;
    }
    for (int tick = 11; tick <= 30; ++tick) {
        playerCarPhase(f);
        const int expected = std::min(tick, 25);
        ASSERT_EQ(f.Speed, expected);
        ASSERT_EQ(f.picCar().Top, 360.0f - 5 * expected) << tick;
    }
    EXPECT_EQ(f.picCar().Top, 235.0f);
    EXPECT_EQ(f.picCar().Left, 150.0f);
}

TEST(PlayerCar, TheSpeedReadOutLagsOneTick) {
    TestGame g;
    Form& f = g.form;
    placeCar(f, 150, 24);
    f.Form_KeyDown(kKeyUp);
    g.ticks(1);
    EXPECT_EQ(f.Speed, 25);
    EXPECT_EQ(f.lblSpeed().Caption, "144");
    g.ticks(1);
    EXPECT_EQ(f.lblSpeed().Caption, "150");
}

TEST(PlayerCar, BrakingAndBothPedals) {
    TestGame g;
    Form& f = g.form;
    placeCar(f, 150, 12);
    f.UpHeld = 1;
    f.DownHeld = 1;
    playerCarPhase(f);
    EXPECT_EQ(f.Speed, 12);

    f.UpHeld = 0;
    placeCar(f, 150, 2);
    for (int expected : {1, 0, 0}) {
        playerCarPhase(f);
        EXPECT_EQ(f.Speed, expected);
    }
    EXPECT_EQ(f.picCar().Top, 360.0f);
}

TEST(PlayerCar, OffTheSurfaceTheCarSlowsToFiveWithUpHeld) {
    TestGame g;
    Form& f = g.form;
    placeCar(f, 365, 25); // off the asphalt, short of the rough
    f.UpHeld = 1;
    for (int expected = 24; expected >= 5; --expected) {
        playerCarPhase(f);
        ASSERT_EQ(f.Speed, expected);
    }
    for (int i = 0; i < 5; ++i) {
        playerCarPhase(f);
        EXPECT_EQ(f.Speed, 5);
        EXPECT_TRUE(f.OffRoad);
    }
    EXPECT_TRUE(f.imgCar().Visible);
    EXPECT_FALSE(f.picCar().Visible);

    // Below five the car claws back up to five.
    f.Speed = 3;
    playerCarPhase(f);
    EXPECT_EQ(f.Speed, 4);
    playerCarPhase(f);
    EXPECT_EQ(f.Speed, 5);
}

TEST(PlayerCar, OffTheSurfaceWithoutUpTheCarRollsToAStop) {
    TestGame g;
    Form& f = g.form;
    placeCar(f, 90, 10);
    std::vector<int> speeds;
    for (int i = 0; i < 8; ++i) {
        playerCarPhase(f);
        speeds.push_back(f.Speed);
    }
    EXPECT_EQ(speeds, (std::vector<int>{8, 6, 4, 3, 2, 1, 0, 0}));
    // Stopped on the verge: still drawn by its picture alone.
    EXPECT_TRUE(f.imgCar().Visible);
    EXPECT_FALSE(f.picCar().Visible);
    EXPECT_FALSE(f.OffRoad);
}

TEST(PlayerCar, TheRoughCostsOneMoreAboveFive) {
    TestGame g;
    Form& f = g.form;
    placeCar(f, 380, 25); // beyond 0.77 of the road
    f.UpHeld = 1;
    std::vector<int> speeds;
    for (int i = 0; i < 12; ++i) {
        playerCarPhase(f);
        speeds.push_back(f.Speed);
    }
    EXPECT_EQ(speeds, (std::vector<int>{23, 21, 19, 17, 15, 13, 11, 9, 7, 5, 5, 5}));

    placeCar(f, 86.4f, 12); // the left rough, on its limit
    playerCarPhase(f);
    EXPECT_EQ(f.Speed, 10);
    placeCar(f, 86.41f, 12);
    playerCarPhase(f);
    EXPECT_EQ(f.Speed, 11);
}

TEST(PlayerCar, SteersByItsSpeedAndNotAtRest) {
    TestGame g;
    Form& f = g.form;
    placeCar(f, 300, 25);
    f.Form_KeyDown(kKeyLeft);
    g.ticks(2);
    EXPECT_EQ(f.picCar().Left, 250.0f);
    f.Form_KeyDown(kKeyRight);
    g.ticks(1);
    EXPECT_EQ(f.picCar().Left, 250.0f);
    f.Form_KeyUp(kKeyLeft);
    g.ticks(1);
    EXPECT_EQ(f.picCar().Left, 275.0f);

    placeCar(f, 150, 0);
    playerCarPhase(f);
    EXPECT_EQ(f.picCar().Left, 150.0f);
}

TEST(PlayerCar, RemembersTheSteeringKeysForTheNextTick) {
    TestGame g;
    Form& f = g.form;
    placeCar(f, 300, 0);
    f.Form_KeyDown(kKeyLeft);
    g.ticks(1);
    EXPECT_EQ(f.PrevLeftHeld, 1);
    EXPECT_EQ(f.PrevRightHeld, 0);
    f.Form_KeyUp(kKeyLeft);
    f.Form_KeyDown(kKeyRight);
    g.ticks(1);
    EXPECT_EQ(f.PrevLeftHeld, 0);
    EXPECT_EQ(f.PrevRightHeld, 1);
}

} // namespace
} // namespace kestrada
