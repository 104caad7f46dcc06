// Hits are checked mostly by running the hit phase on a road set up by hand,
// so that the traffic's own moves cannot shift the targets; one test runs
// whole ticks against a wreck, which stands still while the car does.
#include "app/key_codes.h"
#include "testing/test_game.h"
#include "weapons/weapon_hits.h"

#include <array>
#include <gtest/gtest.h>

namespace kestrada {
namespace {

using testing::TestGame;

void show(Control& c, float left, float top) {
    c.Left = left;
    c.Top = top;
    c.Visible = true;
}

// A shot in the air as the weapon phase leaves it.
void fireMissileAt(Form& f, float left, float top) {
    show(f.imgMissileGo(), left, top);
    f.MissileInFlight = 1;
}

void layMineAt(Form& f, float left, float top) {
    show(f.imgMine(), left, top);
    f.MissileInFlight = 1;
}

struct Vehicle {
    ControlId body;
    ControlId wreck;
};

constexpr std::array<Vehicle, 4> kVehicles = {{
    {ControlId::imgCiv1, ControlId::imgCiv1Crash},
    {ControlId::imgCiv2, ControlId::imgCiv2Crash},
    {ControlId::imgHog, ControlId::imgHogCrash},
    {ControlId::imgMs, ControlId::imgMdead},
}};

TEST(WeaponHits, MissileTurnsAVehicleIntoItsWreckAndReloads) {
    TestGame g;
    Form& f = g.form;
    f.Speed = 25;
    f.Score = 100;
    show(f.imgCiv1(), 200, 200);
    fireMissileAt(f, 205, 230);
    weaponHitPhase(f);

    EXPECT_FALSE(f.imgCiv1().Visible);
    // The wreck takes the car's place under the missile, which is spent and
    // cannot clear it in the same tick.
    EXPECT_TRUE(f.imgCiv1Crash().Visible);
    EXPECT_EQ(f.imgCiv1Crash().Left, 200.0f);
    EXPECT_EQ(f.imgCiv1Crash().Top, 200.0f);
    EXPECT_EQ(f.Score, 175.0);
    EXPECT_EQ(f.MissileInFlight, 0);
    EXPECT_FALSE(f.imgMissileGo().Visible);
    EXPECT_EQ(f.imgMissileGo().Left, f.picCar().Left + 5);
    EXPECT_EQ(f.imgMissileGo().Top, f.picCar().Top);
    EXPECT_TRUE(f.imgMissile().Visible);
}

TEST(WeaponHits, MineTurnsAVehicleIntoItsWreckAndGoesUnderTheCar) {
    TestGame g;
    Form& f = g.form;
    f.Speed = 25;
    show(f.imgHog(), 150, 400);
    layMineAt(f, 160, 420);
    weaponHitPhase(f);

    EXPECT_FALSE(f.imgHog().Visible);
    EXPECT_TRUE(f.imgHogCrash().Visible);
    EXPECT_EQ(f.imgHogCrash().Left, 150.0f);
    EXPECT_EQ(f.imgHogCrash().Top, 400.0f);
    EXPECT_EQ(f.Score, 25.0);
    EXPECT_EQ(f.MissileInFlight, 0);
    EXPECT_FALSE(f.imgMine().Visible);
    EXPECT_EQ(f.imgMine().Top, f.picCar().Top + f.picCar().Height);
    EXPECT_EQ(f.imgMine().Left, f.picCar().Left);
    EXPECT_TRUE(f.imgMissile().Visible);
}

TEST(WeaponHits, EveryVehicleIsWorthTheSameScaledBySpeed) {
    for (const Vehicle& v : kVehicles) {
        for (int speed : {0, 10, 25}) {
            TestGame g;
            Form& f = g.form;
            f.Speed = static_cast<int16_t>(speed);
            f.Score = 1000;
            show(f.control(v.body), 200, 100);
            fireMissileAt(f, 205, 110);
            weaponHitPhase(f);
            EXPECT_DOUBLE_EQ(f.Score, 1000 + 3.0 * speed) << int(v.body) << " missile " << speed;
            EXPECT_FALSE(f.control(v.body).Visible);
            EXPECT_TRUE(f.control(v.wreck).Visible);

            show(f.control(v.body), 200, 300);
            f.control(v.wreck).Visible = false;
            layMineAt(f, 205, 310);
            weaponHitPhase(f);
            EXPECT_DOUBLE_EQ(f.Score, 1000 + 4.0 * speed) << int(v.body) << " mine " << speed;
            EXPECT_FALSE(f.control(v.body).Visible);
            EXPECT_TRUE(f.control(v.wreck).Visible);
        }
    }
}

TEST(WeaponHits, TheRewardDividesBySpeedBeforeMultiplying) {
    TestGame g;
    Form& f = g.form;
    f.Speed = 7;
    show(f.imgCiv2(), 200, 100);
    layMineAt(f, 205, 110);
    weaponHitPhase(f);
    // 7 / 25 * 25 is a hair above 7 in double precision.
    EXPECT_EQ(f.Score, 7.000000000000001);
}

TEST(WeaponHits, ExplosionMovesAboveTheVictimButIsNeverShown) {
    TestGame g;
    Form& f = g.form;
    show(f.imgCiv2(), 200, 100);
    fireMissileAt(f, 205, 110);
    weaponHitPhase(f);
    EXPECT_EQ(f.imgBoom().Left, 200.0f);
    EXPECT_EQ(f.imgBoom().Top, 100.0f - f.imgCiv2().Height);
    EXPECT_FALSE(f.imgBoom().Visible);

    // A mine under the motorcycle moves it too...
    show(f.imgMs(), 300, 250);
    layMineAt(f, 300, 260);
    weaponHitPhase(f);
    EXPECT_EQ(f.imgBoom().Left, 300.0f);
    EXPECT_EQ(f.imgBoom().Top, 250.0f - f.imgMs().Height);

    // ...a missile into the motorcycle or a wreck does not.
    f.imgMdead().Visible = false;
    show(f.imgMs(), 120, 50);
    fireMissileAt(f, 125, 60);
    weaponHitPhase(f);
    EXPECT_TRUE(f.imgMdead().Visible);
    fireMissileAt(f, 125, 60);
    weaponHitPhase(f);
    EXPECT_FALSE(f.imgMdead().Visible);
    EXPECT_EQ(f.imgBoom().Left, 300.0f);
    EXPECT_EQ(f.imgBoom().Top, 250.0f - f.imgMs().Height);
    EXPECT_FALSE(f.imgBoom().Visible);
}

TEST(WeaponHits, EarlierTargetsInTheOrderTakeTheShot) {
    TestGame g;
    Form& f = g.form;
    f.Speed = 25;
    show(f.imgCiv2(), 200, 100);
    show(f.imgHog(), 205, 100);
    fireMissileAt(f, 210, 110);
    weaponHitPhase(f);
    EXPECT_FALSE(f.imgCiv2().Visible);
    EXPECT_TRUE(f.imgHog().Visible);
    EXPECT_FALSE(f.imgHogCrash().Visible);
    EXPECT_EQ(f.Score, 75.0);

    // Car 1's wreck is tested before car 2 itself.
    f.imgCiv2Crash().Visible = false;
    show(f.imgCiv2(), 200, 100);
    show(f.imgCiv1Crash(), 205, 90);
    fireMissileAt(f, 210, 110);
    weaponHitPhase(f);
    EXPECT_FALSE(f.imgCiv1Crash().Visible);
    EXPECT_TRUE(f.imgCiv2().Visible);
    EXPECT_TRUE(f.imgHog().Visible);
    EXPECT_EQ(f.Score, 75.0);
}

TEST(WeaponHits, AMissileClearsAWreckForNothing) {
    TestGame g;
    Form& f = g.form;
    f.Speed = 25;
    f.Score = 500;
    show(f.imgHogCrash(), 100, 150);
    fireMissileAt(f, 110, 170);
    const float boomTop = f.imgBoom().Top;
    weaponHitPhase(f);
    EXPECT_FALSE(f.imgHogCrash().Visible);
    EXPECT_EQ(f.imgHogCrash().Left, 100.0f);
    EXPECT_EQ(f.imgHogCrash().Top, 150.0f);
    EXPECT_EQ(f.Score, 500.0);
    EXPECT_EQ(f.MissileInFlight, 0);
    EXPECT_FALSE(f.imgMissileGo().Visible);
    EXPECT_EQ(f.imgMissileGo().Top, f.picCar().Top);
    EXPECT_TRUE(f.imgMissile().Visible);
    EXPECT_EQ(f.imgBoom().Top, boomTop);
}

TEST(WeaponHits, CarTwosWreckIsPutBackUnderTheCarWhenCleared) {
    TestGame g;
    Form& f = g.form;
    f.imgCiv2().Left = 150;
    f.imgCiv2().Top = 40;
    show(f.imgCiv2Crash(), 300, 200);
    fireMissileAt(f, 305, 210);
    weaponHitPhase(f);
    EXPECT_FALSE(f.imgCiv2Crash().Visible);
    EXPECT_EQ(f.imgCiv2Crash().Left, 150.0f);
    EXPECT_EQ(f.imgCiv2Crash().Top, 40.0f);
    EXPECT_FALSE(f.imgCiv2().Visible);
}

TEST(WeaponHits, MinesPassOverWrecks) {
    TestGame g;
    Form& f = g.form;
    show(f.imgCiv1Crash(), 200, 300);
    layMineAt(f, 205, 310);
    weaponHitPhase(f);
    EXPECT_TRUE(f.imgCiv1Crash().Visible);
    EXPECT_TRUE(f.imgMine().Visible);
    EXPECT_EQ(f.MissileInFlight, 1);
}

TEST(WeaponHits, TouchingEdgesAndHiddenSpritesDoNotCount) {
    TestGame g;
    Form& f = g.form;
    const auto hitsCiv1At = [&](float left, float top, bool missileVisible, bool carVisible) {
        show(f.imgCiv1(), 200, 200); // 27 x 41
        f.imgCiv1().Visible = carVisible;
        f.imgCiv1Crash().Visible = false;
        fireMissileAt(f, left, top); // 10 x 20
        f.imgMissileGo().Visible = missileVisible;
        weaponHitPhase(f);
        return f.imgCiv1Crash().Visible;
    };
    EXPECT_FALSE(hitsCiv1At(190, 210, true, true)); // right edge on the car's left
    EXPECT_TRUE(hitsCiv1At(191, 210, true, true));
    EXPECT_FALSE(hitsCiv1At(227, 210, true, true)); // left edge on the car's right
    EXPECT_TRUE(hitsCiv1At(226, 210, true, true));
    EXPECT_FALSE(hitsCiv1At(205, 180, true, true)); // bottom on the car's top
    EXPECT_TRUE(hitsCiv1At(205, 181, true, true));
    EXPECT_FALSE(hitsCiv1At(205, 241, true, true)); // top on the car's bottom
    EXPECT_TRUE(hitsCiv1At(205, 240, true, true));
    EXPECT_FALSE(hitsCiv1At(205, 210, false, true));
    EXPECT_FALSE(hitsCiv1At(205, 210, true, false));
}

TEST(WeaponHits, AMissileClearsAWreckDuringPlay) {
    TestGame g;
    Form& f = g.form;
    // Straight above the standing car, where no wreck moves while it stands.
    show(f.imgHogCrash(), 388, 250);
    f.Form_KeyDown(kKeySpace);
    // The missile climbs 345, 320, 295, 270 and is tested a tick after each.
    g.ticks(4);
    EXPECT_TRUE(f.imgHogCrash().Visible);
    EXPECT_EQ(f.MissileInFlight, 1);
    g.ticks(1);
    EXPECT_FALSE(f.imgHogCrash().Visible);
    EXPECT_EQ(f.MissileInFlight, 0);
    EXPECT_EQ(f.Score, 0.0);
    // The weapon phase of the same tick has put the launch marker away again.
    EXPECT_FALSE(f.imgMissile().Visible);
    EXPECT_FALSE(f.imgMissileGo().Visible);

    f.Form_KeyDown(kKeySpace);
    EXPECT_EQ(f.MissileInFlight, 1);
}

} // namespace
} // namespace kestrada
