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

void press(Form& f, int16_t key) {
    f.Form_KeyDown(key);
}

TEST(MissileFlight, LeavesTheCarAndClimbsTwentyFivePerTick) {
    TestGame g;
    Form& f = g.form;
    press(f, kKeySpace);
    // The key only takes aim: nothing is drawn until the next tick.
    EXPECT_EQ(f.MissileInFlight, 1);
    EXPECT_EQ(f.imgMissileGo().Left, 391.0f);
    EXPECT_EQ(f.imgMissileGo().Top, 370.0f);
    EXPECT_FALSE(f.imgMissileGo().Visible);

    g.ticks(1);
    EXPECT_TRUE(f.imgMissileGo().Visible);
    EXPECT_EQ(f.imgMissileGo().Top, f.picCar().Top - 15);
    EXPECT_EQ(f.imgMissileGo().Left, 391.0f);
    EXPECT_FALSE(f.imgMissile().Visible);
    EXPECT_FALSE(f.imgMine().Visible);
    EXPECT_TRUE(f.ShowMissile().Visible);
    EXPECT_FALSE(f.ShowMine().Visible);

    // The missile keeps its column when the car moves; the unused mine
    // stays with the car.
    f.picCar().Left = 300;
    g.ticks(1);
    EXPECT_EQ(f.imgMissileGo().Top, 320.0f);
    EXPECT_EQ(f.imgMissileGo().Left, 391.0f);
    EXPECT_EQ(f.imgMine().Left, 300.0f);
    EXPECT_EQ(f.imgMine().Top, f.picCar().Top);
    EXPECT_FALSE(f.imgMine().Visible);
}

TEST(MissileFlight, OneShotAtATimeUntilItLeavesTheTop) {
    TestGame g;
    Form& f = g.form;
    press(f, kKeySpace);
    g.ticks(3);
    EXPECT_EQ(f.imgMissileGo().Top, 295.0f);
    press(f, kKeySpace); // refused: the shot in the air is not re-aimed
    g.ticks(1);
    EXPECT_EQ(f.imgMissileGo().Top, 270.0f);

    // 370 - 25 * 15 = -5: the sixteenth tick's head finds it off the top.
    g.ticks(11);
    EXPECT_EQ(f.imgMissileGo().Top, -5.0f);
    EXPECT_EQ(f.MissileInFlight, 1);
    g.ticks(1);
    EXPECT_EQ(f.MissileInFlight, 0);
    EXPECT_FALSE(f.imgMissileGo().Visible);
    EXPECT_EQ(f.imgMissileGo().Top, 370.0f);
    EXPECT_EQ(f.imgMissileGo().Left, 391.0f);

    press(f, kKeySpace);
    EXPECT_EQ(f.MissileInFlight, 1);
}

TEST(MissileFlight, TopZeroIsStillOnTheRoad) {
    TestGame g;
    Form& f = g.form;
    press(f, kKeySpace);
    g.ticks(1);
    f.imgMissileGo().Top = 25;
    g.ticks(1);
    EXPECT_EQ(f.imgMissileGo().Top, 0.0f);
    g.ticks(1);
    EXPECT_EQ(f.MissileInFlight, 1);
    EXPECT_TRUE(f.imgMissileGo().Visible);
    EXPECT_EQ(f.imgMissileGo().Top, -25.0f);
    g.ticks(1);
    EXPECT_EQ(f.MissileInFlight, 0);
    EXPECT_FALSE(f.imgMissileGo().Visible);
}

TEST(MissileFlight, LaunchPointFollowsTheCarWhileIdle) {
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
    EXPECT_FALSE(f.imgMine().Visible);

    press(f, kKeySpace);
    g.ticks(1);
    EXPECT_EQ(f.imgMissileGo().Left, 305.0f);
    EXPECT_EQ(f.imgMissileGo().Top, 285.0f);
}

TEST(MissileFlight, SpaceIsIgnoredWhilePaused) {
    TestGame g;
    Form& f = g.form;
    press(f, kKeyEsc);
    press(f, kKeySpace);
    EXPECT_EQ(f.MissileInFlight, 0);
    press(f, kKeyEsc);
    g.ticks(1);
    EXPECT_FALSE(f.imgMissileGo().Visible);
}

TEST(MineFlight, DropsAtTheCarAndSlidesBackAtAStandstill) {
    TestGame g;
    Form& f = g.form;
    press(f, kKey2);
    press(f, kKeySpace);
    g.ticks(1);
    EXPECT_TRUE(f.imgMine().Visible);
    EXPECT_EQ(f.imgMine().Left, 386.0f);
    EXPECT_EQ(f.imgMine().Top, 362.0f);
    EXPECT_FALSE(f.imgMissileGo().Visible);
    EXPECT_TRUE(f.ShowMine().Visible);
    EXPECT_FALSE(f.ShowMissile().Visible);
    // While the mine is out the missile waits at the front of the car.
    f.picCar().Left = 300;
    g.ticks(1);
    EXPECT_EQ(f.imgMine().Top, 364.0f);
    EXPECT_EQ(f.imgMine().Left, 386.0f);
    EXPECT_EQ(f.MissileInFlight, 1);
    EXPECT_EQ(f.imgMissileGo().Top, f.picCar().Top);
    EXPECT_EQ(f.imgMissileGo().Left, 305.0f);
    EXPECT_EQ(f.imgMissile().Left, 305.0f);
    EXPECT_EQ(f.imgMissile().Top, 370.0f);
    EXPECT_FALSE(f.imgMissileGo().Visible);
}

TEST(MineFlight, MovesDownTheScreenBySpeedPlusTwo) {
    TestGame g;
    Form& f = g.form;
    press(f, kKey2);
    press(f, kKeySpace);
    f.Speed = 10;
    weaponPhase(f);
    EXPECT_EQ(f.imgMine().Top, 372.0f);
    weaponPhase(f);
    EXPECT_EQ(f.imgMine().Top, 384.0f);
    // The same drift after switching to missiles mid-slide.
    press(f, kKey1);
    weaponPhase(f);
    EXPECT_EQ(f.imgMine().Top, 396.0f);
}

TEST(MineFlight, GoesOnlyOnceStrictlyBelowTheRoad) {
    TestGame g;
    Form& f = g.form;
    press(f, kKey2);
    press(f, kKeySpace);
    g.ticks(1);
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

TEST(WeaponSwitch, MissileFinishesItsClimbAfterSwitchingToMines) {
    TestGame g;
    Form& f = g.form;
    press(f, kKeySpace);
    g.ticks(1);
    press(f, kKey2);
    // Moving the car shows whether the launch point is re-parked too early.
    f.picCar().Left = 300;
    g.ticks(1);
    EXPECT_TRUE(f.ShowMine().Visible);
    EXPECT_FALSE(f.ShowMissile().Visible);
    EXPECT_EQ(f.imgMissileGo().Top, 320.0f);
    EXPECT_TRUE(f.imgMissileGo().Visible);
    EXPECT_FALSE(f.imgMine().Visible);
    EXPECT_EQ(f.imgMissile().Left, 391.0f);

    press(f, kKeySpace);
    g.ticks(14); // climbs past the top and is cleared
    EXPECT_EQ(f.MissileInFlight, 0);
    EXPECT_FALSE(f.imgMine().Visible);
    EXPECT_EQ(f.imgMissile().Left, 305.0f);
    EXPECT_EQ(f.imgMissileGo().Left, 305.0f);
    EXPECT_EQ(f.imgMissileGo().Top, f.picCar().Top);
}

TEST(WeaponSwitch, MineKeepsDriftingAfterSwitchingToMissiles) {
    TestGame g;
    Form& f = g.form;
    press(f, kKey2);
    press(f, kKeySpace);
    g.ticks(1);
    press(f, kKey1);
    press(f, kKeySpace); // refused while the mine is out
    g.ticks(1);
    EXPECT_TRUE(f.ShowMissile().Visible);
    EXPECT_FALSE(f.ShowMine().Visible);
    EXPECT_TRUE(f.imgMine().Visible);
    EXPECT_EQ(f.imgMine().Top, 364.0f);
    EXPECT_FALSE(f.imgMissileGo().Visible);
    EXPECT_EQ(f.MissileInFlight, 1);
}

} // namespace
} // namespace kestrada
