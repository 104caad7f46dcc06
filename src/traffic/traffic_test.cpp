// SPDX-License-Identifier: GPL-3.0-or-later
// The other vehicles, one table of rows (testing/scene.h) per rule.
#include "testing/scene.h"

namespace kestrada {
namespace {

using testing::checkSteps;

// Car 1 enters below speed 20, car 2 above 10, on every 17th tick, with odds
// that grow with the eighth root of the score, never beside its own wreck;
// both just beyond the road's ends, already on the move.
TEST(CivilianCars, EnterByTheTickTheSpeedTheScoreAndTheRoll) {
    checkSteps({
        {"TickCount 17 RandomRoll 1 Speed 10", "civ1 civ2",
         "imgCiv1.Visible 1 imgCiv1.Top 460 Civ1Speed 30 imgCiv2.Visible 0 Civ2Speed 0"},
        {"TickCount 17 RandomRoll 1 Speed 11", "civ1 civ2",
         "imgCiv1.Top 461 imgCiv1.Visible 1 imgCiv2.Top -31 imgCiv2.Visible 1 Civ2Speed 10"},
        {"TickCount 17 RandomRoll 1 Speed 20", "civ1 civ2",
         "imgCiv1.Visible 0 imgCiv2.Top -22 imgCiv2.Visible 1"},
        {"TickCount 18 RandomRoll 1 Speed 15", "civ1 civ2", "imgCiv1.Visible 0 imgCiv2.Visible 0"},
        {"TickCount 17 RandomRoll 15 Speed 15", "civ1 civ2", "imgCiv1.Visible 0 imgCiv2.Visible 0"},
        {"TickCount 17 RandomRoll 17 Speed 15 Score 256", "civ1", "imgCiv1.Visible 0"},
        {"TickCount 17 RandomRoll 17 Speed 19 Score 256.5", "civ1", "imgCiv1.Visible 1"},
        {"TickCount 17 RandomRoll 1 Speed 15 imgCiv1Crash 150 100 1 imgCiv2Crash 250 100 1",
         "civ1 civ2", "imgCiv1.Visible 0 imgCiv2.Visible 0"},
    });
}

// A lane is Int((290 - Width) * r) past 0.2 of the road: a draw just short
// of 1 puts a vehicle or crater 385 - Width from the road's left. Where the
// median (or the parked motorcycle for car 1, car 1 for the motorcycle) is
// in the way, edge to edge already, a car or the motorcycle draws again
// (here landing at 134 or 135). Every fourth crater
// chance drops it into the lane of a car on a verge instead.
TEST(Traffic, EachEntersItsLaneByTheDrawUnlessSomethingIsInTheWay) {
    checkSteps({
        {"draw 0.999 TickCount 17 RandomRoll 1 Speed 15", "civ1", "imgCiv1 358 465 1"},
        {"draw 0.999 TickCount 17 RandomRoll 1 Speed 15", "civ2", "imgCiv2 359 -27 1"},
        {"draw 0.999 TickCount 17 RandomRoll 1 Speed 15 picSplit 300 -1000 1", "civ1",
         "imgCiv1.Left 134"},
        {"draw 0.999 TickCount 17 RandomRoll 1 Speed 15 imgMs 385 0 0", "civ1", "imgCiv1.Left 134"},
        {"draw 0.999 TickCount 17 RandomRoll 1 Speed 15 imgMs 359 0 0", "civ2", "imgCiv2.Left 359"},
        {"draw 0.999 TickCount 17 RandomRoll 1 Speed 15 picSplit 300 -1000 1", "civ2",
         "imgCiv2.Left 134"},
        {"draw 0.999 TickCount 68 RandomRoll 1 Score 3000", "hog", "imgHog 361 478 1"},
        {"draw 0.999 TickCount 17 RandomRoll 1", "moto", "imgMs 362 455 1"},
        {"draw 0.999 TickCount 17 RandomRoll 1 imgCiv1 385 0 0", "moto", "imgMs.Left 135"},
        {"draw 0.999 TickCount 17 RandomRoll 1 imgCiv1 335 0 0", "moto", "imgMs.Left 135"},
        {"draw 0.999 TickCount 17 RandomRoll 1 picSplit 300 -1000 1", "moto", "imgMs.Left 135"},
        {"draw 0.999 TickCount 34 RandomRoll 1 picCar.Left 360.48", "craters",
         "imgCrater0 358 -29 1"},
        {"draw 0.999 TickCount 68 RandomRoll 1 picCar.Left 360.47", "craters",
         "imgCrater0.Left 358"},
        {"draw 0.999 TickCount 68 RandomRoll 1 picCar.Left 95.53", "craters",
         "imgCrater0.Left 358"},
        {"draw 0.999 TickCount 17 RandomRoll 1 picSplit 300 -1000 0", "craters",
         "imgCrater0.Left 358"},
    });
}

// Steering into a car shoves it by the speed; running into it front or back
// trades three points of speed. Its width stands on both sides of the test:
// on its left a small gap still counts. A car held so does not drive.
TEST(CivilianCars, ShoveAndBumpByTheSteeringAndWhoRanIntoWhom) {
    checkSteps({
        {"Speed 10 picCar 200 300 0 Civ1Speed 30 PrevLeftHeld 1 imgCiv1 210 320 1", "civ1",
         "imgCiv1 200 320 1 Civ1Speed 30 Speed 10 Civ1Bumped 1"},
        {"Speed 10 picCar 200 300 0 Civ1Speed 10 imgCiv1 210 270 1", "civ1",
         "imgCiv1 210 259 1 Civ1Speed 13 Speed 7 Civ1Bumped 1"},
        {"Speed 10 picCar 200 300 0 Civ1Speed 10 imgCiv1 210 320 1", "civ1",
         "imgCiv1 210 320 1 Civ1Speed 7 Speed 13 Civ1Bumped 1"},
        {"Speed 10 picCar 123.5 300 0 Civ1Speed 10 PrevRightHeld 1 imgCiv1 150 310 1", "civ1",
         "imgCiv1.Left 160 Civ1Bumped 1"},
        {"Speed 10 picCar 123 300 0 Civ1Speed 10 PrevRightHeld 1 imgCiv1 150 310 1", "civ1",
         "imgCiv1.Left 150 Civ1Bumped 0"},
        {"Speed 10 picCar 175.5 300 0 Civ2Speed 10 PrevRightHeld 1 imgCiv2 150 310 1", "civ2",
         "imgCiv2.Left 160 Civ2Bumped 1"},
    });
}

// A contact needs overlap: a car just touching the player's edge, above or
// below, is not bumped, nor one level with it, front or back.
TEST(CivilianCars, AnEdgeOnTheCarsEdgeIsNoContact) {
    checkSteps({
        {"Speed 10 picCar 200 300 0 PrevRightHeld 1 Civ1Speed 10 Civ2Speed 10 imgCiv1 200 344 1 "
         "imgCiv2 200 268 1",
         "civ1 civ2", "Civ1Bumped 0 Civ2Bumped 0 imgCiv1.Left 200 imgCiv2.Left 200"},
        {"Speed 10 picCar 176 300 0 PrevRightHeld 1 Civ2Speed 10 imgCiv2 150 310 1", "civ2",
         "imgCiv2.Left 150 Civ2Bumped 0"},
        {"Speed 10 picCar 200 300 0 Civ1Speed 10 Civ2Speed 10 imgCiv1 210 300 1 imgCiv2 180 312 1",
         "civ1 civ2", "Civ1Bumped 0 Civ2Bumped 0 Speed 10"},
    });
}

// Only inside the band from 0.2 to 0.75 of the road does a car drive; at or
// beyond it, it drifts back by 1 a tick unless a level player is within a
// pixel. With no median up it swerves from a crater ahead (car 1 by 6 to the
// left while past 0.21 of the road, car 2 by 2 to the right while within
// 0.74) and crashes into one it touches.
TEST(CivilianCars, KeepToTheirBandAndSwerveFromCraters) {
    const std::string craters = "CratersInPlay 2 imgCrater0 200 100 1 imgCrater1 300 100 1 ";
    checkSteps({
        {"Civ1Speed 20 Civ2Speed 20 imgCiv1 96 200 1 imgCiv2 360 200 1", "civ1 civ2",
         "imgCiv1 97 200 1 imgCiv2 359 200 1"},
        {"picCar 118 241 1 imgCiv1 90 200 1", "civ1", "imgCiv1.Left 90"},
        {"picCar 118.5 241 1 imgCiv1 90 200 1", "civ1", "imgCiv1.Left 91"},
        {"picCar 339 156 1 imgCiv2 365 200 1", "civ2", "imgCiv2.Left 365"},
        {"picCar 338.5 156 1 imgCiv2 365 200 1", "civ2", "imgCiv2.Left 364"},
        {(craters + "imgCiv1 200 200 1 imgCiv2 300 200 1").c_str(), "civ1 civ2",
         "imgCiv1 194 200 1 imgCiv2 302 200 1"},
        {(craters + "imgCiv1 200 200 1 imgCiv2 300 200 1 picSplit 400 -1700 1").c_str(),
         "civ1 civ2", "imgCiv1 200 200 1 imgCiv2 300 200 1"},
        {"CratersInPlay 2 imgCrater0 173 100 1 imgCrater1 227 100 1 imgCiv1 200 200 1", "civ1",
         "imgCiv1.Left 200"},
        {"CratersInPlay 2 imgCrater0 100.8 100 1 imgCrater1 355.2 100 1 imgCiv1 100.8 200 1 "
         "imgCiv2 355.2 200 1",
         "civ1 civ2", "imgCiv1.Left 100.8 imgCiv2.Left 357.2"},
        {"CratersInPlay 1 imgCrater0 101 100 1 imgCiv1 101 200 1", "civ1", "imgCiv1.Left 96"},
        {(std::string("Speed 25 Civ1Speed 25 Civ2Speed 25 ") + craters +
          "imgCiv1 200 129 1 imgCiv2 300 129 1")
             .c_str(),
         "civ1 civ2", "imgCiv1Crash 200 129 1 imgCiv2Crash 300 129 1 Score 500"},
    });
}

// The median wrecks car 1 while its lower end is on the road; car 2 is only
// covered by it unless it sticks out below. A car past a road edge is put on
// the edge and wrecked there.
TEST(CivilianCars, TheMedianAndTheRoadsEdgesWreckThem) {
    const std::string road = "Speed 25 picCar 320 300 1 Civ1Speed 25 Civ2Speed 25 ";
    for (const auto& [given, then] : std::initializer_list<std::pair<const char*, const char*>>{
             {"picSplit 200 -1000 1 imgCiv1 190 130 1",
              "imgCiv1.Visible 0 imgCiv1Crash 190 130 1 Score 200"},
             {"picSplit 200 -1000 1 imgCiv2 190 130 1",
              "imgCiv2.Visible 0 imgCiv2Crash.Visible 0 Score 0"},
             {"picSplit 200 -1600 1 imgCiv2 190 130 1",
              "imgCiv2.Visible 0 imgCiv2Crash 190 130 1 Score 100"},
             {"picSplit 200 -1742 1 imgCiv1 190 -20 1", "imgCiv1 190 -20 1 imgCiv1Crash.Visible 0"},
             {"picSplit 200 -1741 1 imgCiv1 190 -20 1", "imgCiv1.Visible 0 imgCiv1Crash 190 -20 1"},
             {"imgCiv1 71 100 1", "imgCiv1.Visible 0 imgCiv1Crash 67.2 100 1 Score 400"},
             {"imgCiv1 385 100 1", "imgCiv1.Visible 0 imgCiv1Crash 388.8 100 1 Score 400"},
             {"imgCiv2 71 100 1", "imgCiv2.Visible 0 imgCiv2Crash 67.2 100 1 Score 300"},
             {"imgCiv1 72 100 1 imgCiv2 384 100 1", "imgCiv1 73 100 1 imgCiv2 383 100 1"},
             {"picSplit 200 -1580 1 imgCiv2 190 130 1",
              "imgCiv2.Visible 0 imgCiv2Crash.Visible 0"}}) {
        checkSteps({{(road + given).c_str(), "civ1 civ2", then}});
    }
}

// Every 68th tick once the score passes 2500, with odds growing with its
// eighth root, never while its wreck is on the road.
TEST(RoadHog, EntersByTheTickTheScoreTheRollAndItsWreck) {
    checkSteps({
        {"TickCount 68 Score 2500 RandomRoll 1", "hog", "imgHog.Visible 0 HogSpeed 0"},
        {"TickCount 68 Score 2500.5 RandomRoll 7", "hog",
         "imgHog.Visible 1 imgHog.Top 478 HogSpeed 20"},
        {"TickCount 68 Score 6561 RandomRoll 8", "hog", "imgHog.Visible 0"},
        {"TickCount 34 Score 3000 RandomRoll 1", "hog", "imgHog.Visible 0"},
        {"TickCount 136 Score 3000 RandomRoll 1", "hog", "imgHog.Visible 1"},
        {"TickCount 68 Score 3000 RandomRoll 1 imgHogCrash 100 100 1", "hog", "imgHog.Visible 0"},
    });
}

// Toward the car's Top by 2 and toward a Left 1 pixel inside the car's left
// flank by 4; the median and the road's left only block moves to the left.
// Against the flank it shoves the car right, slowing it above 3, unless
// Left knocks it away; a car at rest when touched is finished.
TEST(RoadHog, HuntsTheCarsLeftFlankShovesItAndFinishesItAtRest) {
    checkSteps({
        {"Speed 10 picCar 300 300 1 imgHog 150 300 1", "hog", "imgHog 154 300 1"},
        {"Speed 10 picCar 40 200 1 picSplit 200 -1642 1 imgHog 284 200 1", "hog",
         "imgHog 284 200 1"},
        {"Speed 10 picCar 40 200 1 picSplit 200 -1642 1 imgHog 172 200 1", "hog",
         "imgHog 168 200 1"},
        {"Speed 10 picCar 40 200 1 imgHog 220 210 1", "hog", "imgHog 216 208 1"},
        {"Speed 10 picCar 40 200 1 imgHog 100.8 200 1", "hog", "imgHog.Left 100.8"},
        {"Speed 10 picCar 40 200 1 imgHog 101 200 1", "hog", "imgHog.Left 97"},
        {"Speed 10 picCar 300 300 1 imgHog 273 100 1", "hog", "imgHog.Left 273"},
        {"Speed 10 picCar 300 300 1 imgHog 272.5 100 1", "hog", "imgHog.Left 276.5"},
        {"Speed 10 picCar 40 200 1 picSplit 200 -1642 1 imgHog 285 200 1", "hog",
         "imgHog 281 200 1"},
        {"Speed 10 picCar 300 300 1 imgHog 277 100 1", "hog", "imgHog 273 102 1"},
        {"Speed 10 picCar 300 300 0 imgHog 276 300 1", "hog",
         "picCar.Left 307 Speed 9 imgHog 280 300 1 GameOver 0"},
        {"Speed 4 picCar 300 300 0 imgHog 276 300 1", "hog",
         "picCar.Left 301 Speed 3 imgHog.Left 276"},
        {"Speed 3 picCar 300 300 0 imgHog 276 300 1", "hog", "picCar.Left 302 Speed 3"},
        {"Speed 0 picCar 300 300 0 imgHog 276 300 1", "hog",
         "picCar.Left 302 Speed 0 GameOver 1 imgWreck.Visible 1 imgHog.Visible 1"},
        {"Speed 1 LeftHeld 1 picCar 300 300 0 imgHog 276 300 1", "hog",
         "picCar.Left 299 Speed 1 imgHog.Left 273 GameOver 0"},
        // A bump that stops the car lets the hog end the game: no later
        // phase runs, so the motorcycle on the car is not wrecked.
        {"Speed 3 PrevSpeed 3 picCar 300 345 1 imgCiv1 300 320 1 imgHog 276 345 1 imgMs 300 340 1",
         "tick", "Speed 0 GameOver 1 imgMs.Visible 1 imgMdead.Visible 0 TickCount 2"},
    });
}

// Wrecked on the median (100 at top speed), shoved into it by the car's
// Left (500) or into a crater (250), into a crater on its own (100), and
// when its hunt takes it past a road edge (500), where it is put.
TEST(RoadHog, CrashesOnTheMedianCratersAndTheRoadsEdges) {
    checkSteps({
        {"Speed 25 picSplit 200 -1000 1 imgHog 210 300 1", "hog",
         "imgHogCrash 210 300 1 Score 100"},
        {"Speed 25 LeftHeld 1 picCar 300 300 0 picSplit 200 -1000 1 imgHog 282 300 1", "hog",
         "imgHogCrash 249 300 1 Score 500"},
        {"Speed 25 picCar 300 300 0 CratersInPlay 1 imgCrater0 280 271 1 imgHog 276 300 1", "hog",
         "imgHogCrash 276 300 1 Speed 24 Score 240"},
        {"Speed 25 picCar 300 300 1 CratersInPlay 1 imgCrater1 150 271 1 imgHog 150 300 1", "hog",
         "imgHogCrash 154 300 1 Score 100"},
        {"Speed 25 picCar 300 100 1 imgHog 67 100 1", "hog", "imgHogCrash 67.2 100 1 Score 500"},
        {"Speed 25 picCar 420 100 1 imgHog 386 100 1", "hog", "imgHogCrash 388.8 100 1"},
        {"Speed 25 picCar 300 100 1 imgHog 68 100 1", "hog", "imgHog 72 100 1"},
        {"Speed 25 picCar 420 100 1 imgHog 380 100 1", "hog", "imgHog 384 100 1"},
    });
}

// It comes on every 17th tick on fourteen rolls in twenty, never while any
// of its pictures or its wreck shows, climbs by 25 less the speed, swerves
// from craters ahead away from the player's side and is held at the edges.
TEST(Motorcycle, EntersClimbsSwervesAndKeepsToTheRoad) {
    checkSteps({
        {"TickCount 17 RandomRoll 14 Speed 0", "moto",
         "imgMs.Visible 1 imgMs.Top 455 MotorcycleSpeed 25"},
        {"TickCount 17 RandomRoll 15 Speed 0", "moto", "imgMs.Visible 0 MotorcycleSpeed 0"},
        {"TickCount 17 RandomRoll 1 Speed 25", "moto", "imgMs.Visible 0 MotorcycleSpeed 25"},
        {"Speed 10 MotorcycleSpeed 25 picCar 200 300 1 imgMs 300 100 1", "moto", "imgMs 300 85 1"},
        {"Speed 0 MotorcycleSpeed 25 picCar 200 300 1 imgMs 300 -7 1", "moto", "imgMs 300 -32 0"},
        {"Speed 25 MotorcycleSpeed 25 picCar 200 400 1 CratersInPlay 1 imgCrater0 290 100 1 "
         "imgMs 300 300 1",
         "moto", "imgMs 305 300 1"},
        {"Speed 25 MotorcycleSpeed 25 picCar 400 400 1 CratersInPlay 1 imgCrater0 290 100 1 "
         "imgMs 300 300 1",
         "moto", "imgMs 295 300 1"},
        {"Speed 25 MotorcycleSpeed 25 picCar 290 400 1 CratersInPlay 1 imgCrater0 290 100 1 "
         "imgMs 300 300 1",
         "moto", "imgMs 300 300 1"},
        {"Speed 25 MotorcycleSpeed 25 picCar 200 100 1 imgMs 70 300 1", "moto", "imgMs 67.2 300 1"},
        {"Speed 25 MotorcycleSpeed 25 picCar 200 100 1 imgMs 72 300 1", "moto", "imgMs 72 300 1"},
        {"Speed 25 MotorcycleSpeed 25 picCar 200 100 1 imgMs 384 300 1", "moto", "imgMs 384 300 1"},
        {"Speed 25 MotorcycleSpeed 25 picCar 200 100 1 imgMs 385 300 1", "moto",
         "imgMs 388.8 300 1"},
        // Only a crater strictly ahead makes it swerve; one on it wrecks it.
        {"Speed 25 MotorcycleSpeed 25 picCar 200 400 1 CratersInPlay 2 imgCrater0 273 100 1 "
         "imgCrater1 323 100 1 imgMs 300 300 1",
         "moto", "imgMs 300 300 1"},
        {"Speed 25 MotorcycleSpeed 25 picCar 275 400 1 CratersInPlay 1 imgCrater1 290 100 1 "
         "imgMs 300 300 1",
         "moto", "imgMs 300 300 1"},
        {"Speed 25 MotorcycleSpeed 25 picCar 323 400 1 CratersInPlay 1 imgCrater1 290 100 1 "
         "imgMs 300 300 1",
         "moto", "imgMs 300 300 1"},
        {"Speed 25 MotorcycleSpeed 25 picCar 200 400 1 CratersInPlay 1 imgCrater1 300 271 1 "
         "imgMs 300 300 1",
         "moto", "imgMs.Visible 0 imgMdead 300 300 1 Score 50"},
        // The median wrecks it only while the median's lower end is on the road.
        {"Speed 25 MotorcycleSpeed 25 picSplit 200 -1742 1 imgMs 210 -20 1", "moto",
         "imgMs 210 -20 1"},
        {"TickCount 17 RandomRoll 1 imgMl 0 368 1", "moto", "imgMs.Visible 0"},
        {"TickCount 17 RandomRoll 1 imgMdead 30 336 1", "moto", "imgMs.Visible 0"},
        // Run down by the player, for nothing.
        {"Speed 0 MotorcycleSpeed 25 picCar 300 300 1 imgMs 305 310 1", "moto",
         "imgMs.Visible 0 imgMdead 305 310 1 Score 0"},
    });
}

// The civilian cars wreck each other, the hog wrecks whatever it touches and
// drives on, the motorcycle always loses; each is wrecked once, by the first
// pair that touches, paid by the speed as it stands mid-tick.
TEST(VehicleCollisions, WreckByTheirRulesOncePaidByTheSpeed) {
    checkSteps({
        {"Speed 25 imgCiv1 150 200 1 imgCiv2 170 230 1", "collide",
         "imgCiv1.Visible 0 imgCiv2.Visible 0 imgCiv1Crash 150 200 1 imgCiv2Crash 170 230 1 "
         "Score 100"},
        {"Speed 25 imgCiv1 150 200 1 imgCiv2 177 200 1 imgHog 150 241 1 imgMs 203 200 1", "collide",
         "imgCiv1.Visible 1 imgCiv2.Visible 1 imgHog.Visible 1 imgMs.Visible 1 Score 0"},
        {"Speed 25 imgCiv1 150 200 1 imgCiv2 150 200 0 imgHog 150 200 0", "collide",
         "imgCiv1.Visible 1 imgCiv1Crash.Visible 0 Score 0"},
        {"Speed 25 imgCiv1 180 170 1 imgCiv2 215 235 1 imgHog 200 200 1 imgMs 225 190 1", "collide",
         "imgCiv1.Visible 0 imgCiv2.Visible 0 imgMs.Visible 0 imgMdead 225 190 1 imgHog.Visible 1 "
         "imgHogCrash.Visible 0 Score 150"},
        {"Speed 25 imgCiv2 200 200 1 imgMs 210 210 1", "collide",
         "imgCiv2.Visible 1 imgMdead 210 210 1 Score 50"},
        {"Speed 25 imgCiv1 200 200 1 imgMs 210 210 1", "collide",
         "imgCiv1.Visible 1 imgMdead 210 210 1 Score 50"},
        {"Speed -2 imgCiv1 150 200 1 imgCiv2 160 210 1", "collide", "Score -8"},
    });
}

} // namespace
} // namespace kestrada
