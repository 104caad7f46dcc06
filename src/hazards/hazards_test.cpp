// SPDX-License-Identifier: GPL-3.0-or-later
// Craters, median and edges, markers and wrecks: a table (testing/scene.h) each.
#include "testing/scene.h"

namespace kestrada {
namespace {

using testing::checkSteps;

// A chance on every 17th tick while a crater is free, with odds growing with
// the eighth root of the score. Every fourth chance drops it into the lane
// of a car hugging a verge; one that would land on a shown median goes to
// the median's left.
TEST(Craters, ComeByTheScoreIntoTheHuggedLaneButNeverOnTheMedian) {
    const char* chance = "TickCount 34 Speed 5 picCar.Left 150 ";
    for (const auto& [given, then] : std::initializer_list<std::pair<const char*, const char*>>{
             {"Score 0 RandomRoll 9", "CratersInPlay 1 imgCrater0.Top -24 imgCrater1.Visible 0"},
             {"Score 256 RandomRoll 12", "CratersInPlay 0"},
             {"Score 256.01 RandomRoll 12", "CratersInPlay 1"},
             {"CratersInPlay 1 imgCrater0 200 100 1 RandomRoll 1",
              "CratersInPlay 2 imgCrater1.Top -24"},
             {"TickCount 35 RandomRoll 1", "CratersInPlay 0"},
             {"CratersInPlay 2 imgCrater0 200 100 1 imgCrater1 250 100 1 RandomRoll 1",
              "CratersInPlay 2"},
             {"TickCount 68 Speed 0 RandomRoll 1 picCar.Left 360.48", "imgCrater0 372.48 -29 1"},
             {"TickCount 68 Speed 0 RandomRoll 1 picCar.Left 95.52", "imgCrater0 82.08 -29 1"},
             {"Speed 0 RandomRoll 1 picSplit 200 -1000 1", "imgCrater0 173 -29 1"}}) {
        checkSteps({{(std::string(chance) + given).c_str(), "craters", then}});
    }
    // Scrolled by the speed, a crater leaves once its top reaches the bottom.
    checkSteps({{"Speed 25 CratersInPlay 2 imgCrater0 200 455 1 imgCrater1 200 454 1", "craters",
                 "imgCrater0 200 480 0 imgCrater1 200 479 1 CratersInPlay 1"},
                {"Speed 25 CratersInPlay 2 imgCrater0 200 455 1 imgCrater1 200 454 1",
                 "craters craters", "imgCrater0.Top 480 CratersInPlay 0"}});
}

// The car (150..175 x 300..344) dies on a crater whose bottom lies on its
// roof, hit box shown or not; the crash ends the tick before the pedal.
TEST(Craters, TheBottomEdgeOnTheCarsRoofAlreadyKills) {
    const char* car = "Speed 0 UpHeld 1 CratersInPlay 1 picCar 150 300 1 ";
    for (const auto& [crater, dies] : std::initializer_list<std::pair<const char*, bool>>{
             {"imgCrater1 150 271 1", true},
             {"imgCrater1 150 270.5 1", false},
             {"imgCrater1 150 344 1", false},
             {"imgCrater1 150 343.5 1", true},
             {"imgCrater1 123 300 1", false},
             {"imgCrater1 123.5 300 1", true},
             {"imgCrater1 175 300 1", false},
             {"imgCrater1 174.5 300 1", true},
             {"imgCrater1 150 290 0", false},
             {"imgCrater1 150 290 1 picCar.Visible 0", true}}) {
        checkSteps(
            {{(std::string(car) + crater).c_str(), "tick",
              dies ? "GameOver 1 CraterIndex 1 Speed 0" : "GameOver 0 CraterIndex 2 Speed 1"}});
    }
}

// Standing still, nothing new comes onto the road; a crash on the median,
// an edge or a wreck ends the tick before the pedals.
TEST(Tick, StandingStillBringsNoCraterAndACrashEndsTheTick) {
    checkSteps({
        {"TickCount 16 Score 256 picCar 150 300 1", "tick", "CratersInPlay 0 TickCount 17"},
        {"UpHeld 1 picCar 67.2 300 1", "tick", "GameOver 1 Speed 0"},
        {"UpHeld 1 picCar 300 310 1 imgCiv1Crash 310 330 1", "tick", "GameOver 1 Speed 0"},
        {"UpHeld 1 picCar 180 310 1 picSplit 200 -1000 1", "tick", "GameOver 1 Speed 0"},
    });
}

// The road's edges kill on the limit itself (0.14 and 0.81 of its width);
// the median only when more than an edge touches.
TEST(Median, TheEdgesKillOnTheLimitAndTheMedianBeyondItsEdge) {
    checkSteps({
        {"picCar.Left 67.2", "median", "GameOver 1"},
        {"picCar.Left 67.21", "median", "GameOver 0"},
        {"picCar.Left 388.8", "median", "GameOver 1 imgWreck.Visible 1"},
        {"picCar 175 310 1 picSplit 200 -1000 1", "median", "GameOver 0"},
        {"picCar 175.5 310 1 picSplit 200 -1000 1", "median", "GameOver 1 imgSplit 200 -1000 1"},
        {"picCar 230 310 1 picSplit 200 -1432 1", "median", "GameOver 0"},
        {"picCar 180 310 0 picSplit 200 -1000 1", "median", "GameOver 0"},
    });
}

// A dash past the bottom goes up by the whole seven-dash period.
TEST(RoadMarkers, WrapBySevenDashPeriodsOnceTheyReachTheBottom) {
    checkSteps({{"Speed 10 imgMarker3.Top 470 imgMarker5.Top 469 imgMarker7.Top 100", "markers",
                 "imgMarker3.Top -80 imgMarker5.Top 479 imgMarker7.Top 110"},
                {"Speed 25 imgMarker6.Top 465", "markers", "imgMarker6.Top -70"}});
}

// Cars and the motorcycle crash into the civilian cars' and the hog's wrecks,
// paid by the speed; the hog drives over wrecks and the motorcycle's hurts
// nobody. The player dies on a civilian car's wreck even with its hit box
// hidden on the verge, and passes over the others.
TEST(Wrecks, VehiclesCrashIntoThemAndThePlayerDiesOnCivilianOnes) {
    checkSteps({
        {"Speed 25 imgCiv2Crash 150 200 1 imgCiv1 155 210 1", "wrecks",
         "imgCiv1.Visible 0 imgCiv1Crash 155 210 1 imgCiv2Crash.Visible 1 Score 50"},
        {"Speed 25 imgCiv1Crash 150 200 1 imgCiv2 155 210 1", "wrecks", "imgCiv2Crash 155 210 1"},
        {"Speed 25 imgHogCrash 150 200 1 imgMs 155 210 1", "wrecks", "imgMdead 155 210 1"},
        {"Speed 10 imgHogCrash 150 200 1 imgCiv2 155 210 1", "wrecks",
         "imgCiv2.Visible 0 imgCiv2Crash.Visible 1 Score 20"},
        {"Speed 25 imgCiv2Crash 150 200 1 imgHog 155 210 1", "wrecks", "imgHog.Visible 1 Score 0"},
        {"Speed 25 picCar 300 310 0 imgCiv1Crash 310 330 1", "wrecks", "GameOver 1"},
        {"Speed 25 picCar 300 310 1 imgCiv1Crash 325 310 1 imgCiv2Crash 300 354 1", "wrecks",
         "GameOver 0"},
        {"Speed 25 picCar 300 310 1 imgHogCrash 300 300 1 imgMdead 300 310 1", "wrecks",
         "GameOver 0"},
        {"Speed 25 picCar 300 310 1 imgCiv1Crash 273 310 1 imgCiv2Crash 300 278 1", "wrecks",
         "GameOver 0"},
        {"Speed 25 picCar 300 310 1 imgCiv2Crash 310 330 1", "wrecks", "GameOver 1"},
        {"Speed 25 imgCiv2Crash 150 200 0 imgCiv1 155 210 1", "wrecks", "imgCiv1.Visible 1"},
        {"Speed 10 imgCiv1Crash 100 470 1 imgHogCrash 100 469 1", "wreckscroll",
         "imgCiv1Crash 100 480 0 imgHogCrash 100 479 1"},
    });
}

} // namespace
} // namespace kestrada
