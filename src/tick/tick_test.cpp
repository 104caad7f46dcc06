// SPDX-License-Identifier: GPL-3.0-or-later
// The tick's head, the player's car and the read-outs: a table (testing/scene.h) each.
#include "app/key_codes.h"
#include "testing/scene.h"

namespace kestrada {
namespace {

using testing::checkSteps;

// The read-out shows six times the speed; the other vehicles' own speeds
// drift by 1 toward 30, 10 and 20; a median comes while the rounded score
// starts a four thousand (below 500 into it) and is hidden, and leaves once
// its top is below the road.
TEST(HeadPhase, ReadsOutTheSpeedRelaxesTheOthersAndBringsTheMedianByTheScore) {
    checkSteps({
        {"Speed 7 picCar 150 300 1", "head", "lblSpeed.Caption 42 TickCount 2 imgCar 150 300 1"},
        {"Civ1Speed 30 Civ2Speed 10 HogSpeed 20 Civ1Bumped 1 Civ2Bumped 1", "head",
         "Civ1Speed 30 Civ2Speed 10 HogSpeed 20 Civ1Bumped 0 Civ2Bumped 0"},
        {"Civ1Speed 27 Civ2Speed 13 HogSpeed 17", "head", "Civ1Speed 28 Civ2Speed 12 HogSpeed 18"},
        {"draw 0.999", "head", "RandomRoll 20"},
        {"Score 499.4", "head", "picSplit 200 -1742 1"},
        {"Score 499.5", "head", "picSplit.Visible 0"},
        {"Score 3999.75", "head", "picSplit.Visible 1"},
        {"Speed 1 picSplit 200 479 1", "head", "picSplit 200 480 1"},
        {"Speed 5 picSplit 200 476 1", "head", "picSplit 200 -1742 0"},
    });
}

// Up adds 1, Down takes 1, to 0..25. Off the asphalt (the outer fifth of
// the road on either side) the car loses speed down to 5 with Up held, to a
// stop without; on the rough beyond 0.18 or 0.77 of the road it loses one
// more. The faster the car, the higher it sits; it steers by its speed.
TEST(PlayerCar, PedalsVergeAndRoughSetTheSpeedHeightAndSteering) {
    checkSteps({
        {"picCar 150 300 1 Speed 12 UpHeld 1 DownHeld 1", "car car",
         "Speed 12 OffRoad 0 picCar.Visible 1 imgCar.Visible 0"},
        {"picCar 150 300 1 Speed 2 DownHeld 1", "car car car", "Speed 0"},
        {"picCar 150 300 1 Speed 25 UpHeld 1", "car", "Speed 25"},
        {"picCar 365 300 1 Speed 6 UpHeld 1", "car",
         "Speed 5 OffRoad 1 picCar.Visible 0 imgCar.Visible 1"},
        {"picCar 365 300 1 Speed 5 UpHeld 1", "car", "Speed 5 OffRoad 1"},
        {"picCar 365 300 1 Speed 4 UpHeld 1", "car", "Speed 5 OffRoad 0"},
        {"picCar 95.53 300 1 Speed 10", "car", "Speed 10 OffRoad 0"},
        {"picCar 360.47 300 1 Speed 10", "car", "Speed 10 OffRoad 0"},
        {"picCar 369.6 300 1 Speed 12 UpHeld 1", "car", "Speed 10"},
        {"picCar 369.59 300 1 Speed 12 UpHeld 1", "car", "Speed 11"},
        {"picCar 369.6 300 1 Speed 6 UpHeld 1", "car", "Speed 5"},
        {"picCar 86.4 300 1 Speed 12 UpHeld 1", "car", "Speed 10"},
        {"picCar 86.41 300 1 Speed 12 UpHeld 1", "car", "Speed 11"},
        {"picCar 86.4 300 1 Speed 7 UpHeld 1", "car", "Speed 5"},
        {"picCar 150 300 1 Speed 10 PrevSpeed 0", "car", "picCar.Top 310 PrevSpeed 10"},
        {"picCar 150 300 1 Speed 25 PrevSpeed 25", "car", "picCar.Top 300"},
        {"picCar 300 300 1 Speed 25 PrevSpeed 25 LeftHeld 1", "car",
         "picCar.Left 275 PrevLeftHeld 1 PrevRightHeld 0"},
        {"picCar 300 300 1 Speed 25 PrevSpeed 25 RightHeld 1", "car",
         "picCar.Left 325 PrevLeftHeld 0 PrevRightHeld 1"},
        {"picCar 300 300 1 Speed 25 PrevSpeed 25 LeftHeld 1 RightHeld 1", "car", "picCar.Left 300"},
        {"picCar 300 300 1 Speed 1 PrevSpeed 1 RightHeld 1", "car", "picCar.Left 301"},
    });
}

// Off the asphalt with Up let go the car loses 2 a tick above 5 and 1 a
// tick from 5, to a stop; the rough takes 1 more while still above 5.
TEST(PlayerCar, OffTheAsphaltWithoutUpTheSpeedRunsDownToAStop) {
    checkSteps({
        {"picCar 95.52 300 1 Speed 7", "car", "Speed 5 OffRoad 1"},
        {"picCar 95.52 300 1 Speed 7", "car car", "Speed 4 OffRoad 1"},
        {"picCar 95.52 300 1 Speed 7", "car car car", "Speed 3 OffRoad 0"},
        {"picCar 95.52 300 1 Speed 7", "car car car car", "Speed 2"},
        {"picCar 95.52 300 1 Speed 7", "car car car car car", "Speed 1"},
        {"picCar 95.52 300 1 Speed 7", "car car car car car car", "Speed 0"},
        {"picCar 95.52 300 1 Speed 7", "car car car car car car car", "Speed 0 OffRoad 0"},
        {"picCar 360.48 300 1 Speed 6", "car", "Speed 4 OffRoad 1"},
        {"picCar 86.4 300 1 Speed 10", "car", "Speed 7 OffRoad 1"},
        {"picCar 86.4 300 1 Speed 10", "car car", "Speed 5 OffRoad 1"},
        {"picCar 369.6 300 1 Speed 9", "car", "Speed 6 OffRoad 1"},
    });
}

// Distance pays a quarter point per pixel of speed above crawling, shown
// whole; the needle swings from its pivot by the speed.
TEST(ScoreDisplay, PaysForDistanceShowsItWholeAndSwingsTheNeedle) {
    checkSteps({
        {"Speed 1", "score", "Score 0 lblScore.Caption 0"},
        {"Speed 2", "score score score", "Score 1.5 lblScore.Caption 1"},
        {"Speed 25 Score 99999.999", "score", "lblScore.Caption 100006"},
    });
    testing::TestGame g;
    Form& f = g.form;
    for (const auto& [speed, x, y] :
         {std::tuple{0, 536 - 13.4, 182 + 24.6}, std::tuple{13, 536.0, 182 - 28.0},
          std::tuple{25, 536 + 18.5, 182 + 21.1}}) {
        f.Speed = int16_t(speed);
        scorePhase(f);
        EXPECT_NEAR(f.linSpeed.X2, x, 0.5) << speed;
        EXPECT_NEAR(f.linSpeed.Y2, y, 0.05) << speed;
    }
}

} // namespace
} // namespace kestrada
