// The shot's life from Space to the edge of the road, driven through the
// keys and the frame timer. The car stands still on the verge at the start
// of a game, where no vehicle can enter in the missile's or mine's column.
#include "app/key_codes.h"
#include "testing/test_game.h"
#include "weapons/weapon_flight.h"

#include <gtest/gtest.h>

namespace kestrada {
namespace {

using testing::TestGame;

// Idle, the launch point and the mine follow the car. Space only takes aim:
// the missile shows from the next tick, then climbs in its own column.
TEST(MissileFlight, LeavesTheCarAndClimbsTwentyFivePerTickInItsOwnColumn) {
    TestGame g;
    Form& f = g.form;
    f.picCar().Left = 300;
    f.picCar().Top = 300;
    g.ticks(1);
    EXPECT_EQ(f.imgMissile().Left, 305.0f);
    EXPECT_EQ(f.imgMissile().Top, 310.0f);
    EXPECT_FALSE(f.imgMissile().Visible);
    EXPECT_EQ(f.imgMine().Left, 300.0f);
    EXPECT_EQ(f.imgMine().Top, 300.0f);

    f.Form_KeyDown(kKeySpace);
    EXPECT_EQ(f.MissileInFlight, 1);
    EXPECT_EQ(f.imgMissileGo().Left, 305.0f);
    EXPECT_EQ(f.imgMissileGo().Top, 310.0f);
    EXPECT_FALSE(f.imgMissileGo().Visible);
    g.ticks(1);
    EXPECT_TRUE(f.imgMissileGo().Visible);
    EXPECT_EQ(f.imgMissileGo().Top, 285.0f);
    EXPECT_FALSE(f.imgMissile().Visible);
    EXPECT_TRUE(f.ShowMissile().Visible);
    EXPECT_FALSE(f.ShowMine().Visible);

    f.picCar().Left = 250;
    g.ticks(1);
    EXPECT_EQ(f.imgMissileGo().Top, 260.0f);
    EXPECT_EQ(f.imgMissileGo().Left, 305.0f);
    EXPECT_EQ(f.imgMine().Left, 250.0f);
    EXPECT_EQ(f.imgMine().Top, f.picCar().Top);
    EXPECT_FALSE(f.imgMine().Visible);
}

TEST(MissileFlight, OneShotAtATimeUntilItsTopIsBelowZero) {
    TestGame g;
    Form& f = g.form;
    f.Form_KeyDown(kKeySpace);
    g.ticks(3);
    f.Form_KeyDown(kKeySpace); // refused: the shot in the air is not re-aimed
    g.ticks(1);
    EXPECT_EQ(f.imgMissileGo().Top, 270.0f);

    f.imgMissileGo().Top = 25;
    g.ticks(1);
    EXPECT_EQ(f.imgMissileGo().Top, 0.0f);
    g.ticks(1); // a Top of exactly 0 is still on the road
    EXPECT_EQ(f.MissileInFlight, 1);
    EXPECT_TRUE(f.imgMissileGo().Visible);
    EXPECT_EQ(f.imgMissileGo().Top, -25.0f);
    g.ticks(1);
    EXPECT_EQ(f.MissileInFlight, 0);
    EXPECT_FALSE(f.imgMissileGo().Visible);
    EXPECT_EQ(f.imgMissileGo().Top, 370.0f);
    EXPECT_EQ(f.imgMissileGo().Left, 391.0f);

    f.Form_KeyDown(kKeySpace);
    EXPECT_EQ(f.MissileInFlight, 1);
}

// The mine drops at the car, slides back by the speed plus 2 while the
// missile waits at the car's front, and goes only once strictly below the
// road.
TEST(MineFlight, DropsAtTheCarSlidesBackAndGoesOnlyBelowTheRoad) {
    TestGame g;
    Form& f = g.form;
    f.Form_KeyDown(kKey2);
    f.Form_KeyDown(kKeySpace);
    g.ticks(1);
    EXPECT_TRUE(f.imgMine().Visible);
    EXPECT_EQ(f.imgMine().Left, 386.0f);
    EXPECT_EQ(f.imgMine().Top, 362.0f);
    EXPECT_TRUE(f.ShowMine().Visible);
    EXPECT_FALSE(f.ShowMissile().Visible);
    f.picCar().Left = 300;
    f.Speed = 10;
    weaponPhase(f);
    EXPECT_EQ(f.imgMine().Top, 374.0f);
    EXPECT_EQ(f.imgMine().Left, 386.0f);
    EXPECT_EQ(f.imgMissileGo().Top, f.picCar().Top);
    EXPECT_EQ(f.imgMissileGo().Left, 305.0f);
    EXPECT_EQ(f.imgMissile().Left, 305.0f);
    EXPECT_EQ(f.imgMissile().Top, 370.0f);
    EXPECT_FALSE(f.imgMissileGo().Visible);

    f.Speed = 0;
    f.imgMine().Top = 478;
    g.ticks(1);
    EXPECT_EQ(f.imgMine().Top, 480.0f);
    g.ticks(1);
    EXPECT_TRUE(f.imgMine().Visible);
    EXPECT_EQ(f.imgMine().Top, 482.0f);
    EXPECT_EQ(f.MissileInFlight, 1);
    g.ticks(1);
    EXPECT_EQ(f.MissileInFlight, 0);
    EXPECT_FALSE(f.imgMine().Visible);
    EXPECT_EQ(f.imgMine().Top, f.picCar().Top);
    EXPECT_EQ(f.imgMine().Left, f.picCar().Left);
}

} // namespace
} // namespace kestrada
