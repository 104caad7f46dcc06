// Hits are checked mostly by running the hit phase on a road set up by hand,
// so that the traffic's own moves cannot shift the targets; one test runs
// whole ticks against a wreck, which stands still while the car does.
#include "app/key_codes.h"
#include "testing/scene.h"
#include "weapons/weapon_hits.h"

#include <array>
#include <gtest/gtest.h>

namespace kestrada {
namespace {

using testing::place;
using testing::TestGame;

// A shot in the air as the weapon phase leaves it.
void fireMissileAt(Form& f, float left, float top) {
    place(f.imgMissileGo(), left, top);
    f.MissileInFlight = 1;
}

void layMineAt(Form& f, float left, float top) {
    place(f.imgMine(), left, top);
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

// The wreck takes the vehicle's place under the spent weapon, which cannot
// clear it in the same tick; the blast is moved above the victim but never
// shown, except that a missile burns the motorcycle out without one.
TEST(WeaponHits, EitherWeaponWrecksEveryVehicleForTheSameRewardScaledBySpeed) {
    for (const Vehicle& v : kVehicles) {
        for (const bool mine : {false, true}) {
            for (const int16_t speed : {0, 10, 25}) {
                SCOPED_TRACE(::testing::Message()
                             << int(v.body) << (mine ? " mine " : " missile ") << speed);
                TestGame g;
                Form& f = g.form;
                f.Speed = speed;
                f.Score = 1000;
                place(f.control(v.body), 200, 300);
                if (mine) {
                    layMineAt(f, 210, 320);
                } else {
                    fireMissileAt(f, 205, 310);
                }
                const Control boomBefore = f.imgBoom();
                weaponHitPhase(f);
                EXPECT_DOUBLE_EQ(f.Score, 1000 + (mine ? 1.0 : 3.0) * speed);
                EXPECT_FALSE(f.control(v.body).Visible);
                const Control& wreck = f.control(v.wreck);
                EXPECT_TRUE(wreck.Visible);
                EXPECT_EQ(wreck.Left, 200.0f);
                EXPECT_EQ(wreck.Top, 300.0f);
                EXPECT_EQ(f.MissileInFlight, 0);
                EXPECT_TRUE(f.imgMissile().Visible);
                if (mine) {
                    EXPECT_FALSE(f.imgMine().Visible);
                    EXPECT_EQ(f.imgMine().Top, f.picCar().Top + f.picCar().Height);
                    EXPECT_EQ(f.imgMine().Left, f.picCar().Left);
                } else {
                    EXPECT_FALSE(f.imgMissileGo().Visible);
                    EXPECT_EQ(f.imgMissileGo().Left, f.picCar().Left + 5);
                    EXPECT_EQ(f.imgMissileGo().Top, f.picCar().Top);
                }
                const bool blast = mine || v.body != ControlId::imgMs;
                EXPECT_EQ(f.imgBoom().Left, blast ? 200.0f : boomBefore.Left);
                EXPECT_EQ(f.imgBoom().Top,
                          blast ? 300.0f - f.control(v.body).Height : boomBefore.Top);
                EXPECT_FALSE(f.imgBoom().Visible);
            }
        }
    }
    // The reward divides by the speed before multiplying: 7 / 25 * 25 is a
    // hair above 7 in double precision.
    TestGame g;
    g.form.Speed = 7;
    place(g.form.imgCiv2(), 200, 100);
    layMineAt(g.form, 205, 110);
    weaponHitPhase(g.form);
    EXPECT_EQ(g.form.Score, 7.000000000000001);
}

TEST(WeaponHits, EarlierTargetsInTheOrderTakeTheShot) {
    TestGame g;
    Form& f = g.form;
    f.Speed = 25;
    place(f.imgCiv2(), 200, 100);
    place(f.imgHog(), 205, 100);
    fireMissileAt(f, 210, 110);
    weaponHitPhase(f);
    EXPECT_FALSE(f.imgCiv2().Visible);
    EXPECT_TRUE(f.imgHog().Visible);
    EXPECT_FALSE(f.imgHogCrash().Visible);
    EXPECT_EQ(f.Score, 75.0);

    // Car 1's wreck is tested before car 2 itself.
    f.imgCiv2Crash().Visible = false;
    place(f.imgCiv2(), 200, 100);
    place(f.imgCiv1Crash(), 205, 90);
    fireMissileAt(f, 210, 110);
    weaponHitPhase(f);
    EXPECT_FALSE(f.imgCiv1Crash().Visible);
    EXPECT_TRUE(f.imgCiv2().Visible);
    EXPECT_TRUE(f.imgHog().Visible);
    EXPECT_EQ(f.Score, 75.0);
}

// Car 2's wreck is also put back under the car's last place as it goes.
TEST(WeaponHits, AMissileClearsAWreckForNothingAndMinesPassOverThem) {
    for (const Vehicle& v : kVehicles) {
        SCOPED_TRACE(int(v.wreck));
        TestGame g;
        Form& f = g.form;
        f.Speed = 25;
        f.Score = 500;
        f.imgCiv2().Left = 150;
        f.imgCiv2().Top = 40;
        place(f.control(v.wreck), 100, 150);
        layMineAt(f, 105, 160);
        weaponHitPhase(f);
        EXPECT_TRUE(f.control(v.wreck).Visible);
        EXPECT_TRUE(f.imgMine().Visible);
        EXPECT_EQ(f.MissileInFlight, 1);

        f.imgMine().Visible = false;
        fireMissileAt(f, 110, 170);
        const Control boomBefore = f.imgBoom();
        weaponHitPhase(f);
        const bool car2 = v.wreck == ControlId::imgCiv2Crash;
        EXPECT_FALSE(f.control(v.wreck).Visible);
        EXPECT_EQ(f.control(v.wreck).Left, car2 ? 150.0f : 100.0f);
        EXPECT_EQ(f.control(v.wreck).Top, car2 ? 40.0f : 150.0f);
        EXPECT_FALSE(f.imgCiv2().Visible);
        EXPECT_EQ(f.Score, 500.0);
        EXPECT_EQ(f.MissileInFlight, 0);
        EXPECT_FALSE(f.imgMissileGo().Visible);
        EXPECT_EQ(f.imgMissileGo().Top, f.picCar().Top);
        EXPECT_TRUE(f.imgMissile().Visible);
        EXPECT_TRUE(f.imgBoom() == boomBefore);
    }
}

} // namespace
} // namespace kestrada
