// SPDX-License-Identifier: GPL-3.0-or-later
// Missiles and mines, one table (testing/scene.h) per rule. After Form_Load
// the car stands at 386, 360.
#include "app/key_codes.h"
#include "testing/scene.h"

namespace kestrada {
namespace {

using testing::checkSteps;
using testing::TestGame;

// Idle, the launch point and the mine follow the car. An aimed missile
// climbs 25 a tick in its own column until its Top is below 0; a mine drops
// at the car and slides back by the speed plus 2 until strictly below the
// road. A shot already out finishes its way after a switch of weapon.
TEST(WeaponFlight, MissilesClimbAndMinesSlideBackUntilTheyLeaveTheRoad) {
    checkSteps({
        {"WeaponChoice 1 picCar 300 300 1", "weapons",
         "imgMissile 305 310 0 imgMissileGo.Visible 0 imgMine 300 300 0 ShowMissile.Visible 1"},
        {"WeaponChoice 1 MissileInFlight 1 picCar 250 300 1 imgMissileGo 305 310 0", "weapons",
         "imgMissileGo 305 285 1 imgMissile.Visible 0 imgMine 250 300 0 ShowMine.Visible 0"},
        {"MissileInFlight 1 imgMissileGo 305 0 1", "head",
         "MissileInFlight 1 imgMissileGo 305 0 1"},
        {"MissileInFlight 1 imgMissileGo 305 -25 1", "head",
         "MissileInFlight 0 imgMissileGo 391 370 0"},
        {"WeaponChoice 2 MissileInFlight 1", "weapons",
         "imgMine 386 362 1 ShowMine.Visible 1 ShowMissile.Visible 0"},
        {"WeaponChoice 2 MissileInFlight 1 Speed 10 picCar 300 360 1 imgMine 386 362 1", "weapons",
         "imgMine 386 374 1 imgMissile 305 370 0 imgMissileGo 305 360 0"},
        {"MissileInFlight 1 imgMine 386 480 1", "head", "MissileInFlight 1 imgMine 386 480 1"},
        {"MissileInFlight 1 imgMine 386 480.5 1", "head", "MissileInFlight 0 imgMine 386 360 0"},
        {"WeaponChoice 2 MissileInFlight 1 imgMissileGo 305 200 1", "weapons",
         "imgMissileGo 305 175 1 imgMine.Visible 0"},
        {"WeaponChoice 1 MissileInFlight 1 Speed 5 imgMine 300 400 1", "weapons",
         "imgMine 300 407 1 imgMissileGo.Visible 0"},
        {"WeaponChoice 2 picCar 300 300 1", "weapons",
         "imgMissileGo 305 300 0 imgMissile 305 310 0 imgMine 300 300 0"},
    });
    // Space only takes aim, one shot at a time.
    TestGame g;
    g.form.imgMissileGo().Top = 100; // wherever the last shot left it
    g.form.Form_KeyDown(kKeySpace);
    EXPECT_EQ(g.form.imgMissileGo().Top, g.form.imgMissile().Top);
    g.ticks(3);
    g.form.Form_KeyDown(kKeySpace);
    g.ticks(1);
    EXPECT_EQ(g.form.imgMissileGo().Top, 270.0f);
}

// Either weapon wrecks any vehicle, paid 25 (mine) or 75 (missile) at top
// speed, and the blast is moved above the victim but never shown, except
// that a missile burns the motorcycle out without one. A missile clears a
// wreck for nothing (car 2's is put back under the car); mines pass over.
TEST(WeaponHits, EachWeaponStrikesOneThingByTheOrderForItsReward) {
    const char* missile = "Speed 10 Score 1000 MissileInFlight 1 imgMissileGo 205 310 1 ";
    const char* mine = "Speed 25 MissileInFlight 1 imgMine 210 320 1 ";
    const char* spent = "MissileInFlight 0 imgMissile.Visible 1 ";
    for (const auto& [weapon, target, then] :
         std::initializer_list<std::tuple<const char*, const char*, const char*>>{
             {missile, "imgCiv1 200 300 1",
              "Score 1030 imgCiv1.Visible 0 imgCiv1Crash 200 300 1 imgMissileGo 391 360 0 "
              "imgBoom 200 259 0"},
             {missile, "imgCiv2 200 300 1", "Score 1030 imgCiv2Crash 200 300 1 imgBoom 200 268 0"},
             {missile, "imgHog 200 300 1", "Score 1030 imgHogCrash 200 300 1 imgBoom 200 258 0"},
             {missile, "imgMs 200 300 1", "Score 1030 imgMdead 200 300 1 imgBoom 16 432 0"},
             {mine, "imgMs 200 300 1",
              "Score 25 imgMs.Visible 0 imgMdead 200 300 1 imgMine 386 404 0 imgBoom 200 268 0"},
             {missile, "imgHogCrash 200 300 1 imgCiv2 150 40 0",
              "Score 1000 imgHogCrash 200 300 0 imgMissileGo.Visible 0 imgBoom 16 432 0"},
             {missile, "imgCiv1Crash 200 300 1 imgCiv2 150 40 0", "imgCiv1Crash 200 300 0"},
             {missile, "imgCiv2Crash 200 300 1 imgCiv2 150 40 0",
              "Score 1000 imgCiv2Crash 150 40 0"},
             {missile, "imgCiv2 200 300 1 imgHog 205 300 1",
              "imgCiv2.Visible 0 imgHog.Visible 1 imgHogCrash.Visible 0"},
             {missile, "imgCiv2 200 300 1 imgCiv1Crash 205 290 1",
              "imgCiv1Crash.Visible 0 imgCiv2.Visible 1 Score 1000"},
         }) {
        checkSteps({{(std::string(weapon) + target).c_str(), "hits",
                     (std::string(spent) + then).c_str()}});
    }
    checkSteps(
        {{"MissileInFlight 1 imgMine 105 160 1 imgMdead 100 150 1 imgHogCrash 90 150 1", "hits",
          "MissileInFlight 1 imgMine 105 160 1 imgMdead 100 150 1 imgHogCrash 90 150 1"},
         {"MissileInFlight 1 imgMissileGo 205 310 1 imgCiv1 200 300 0", "hits",
          "MissileInFlight 1 imgCiv1Crash.Visible 0"},
         {"WeaponChoice 1 MissileInFlight 1 imgMissileGo 205 310 1 imgCiv1 200 300 1", "tick",
          "imgCiv1Crash.Visible 1"}});
}

} // namespace
} // namespace kestrada
