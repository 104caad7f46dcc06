#include "hazards/median.h"
#include "numeric.h"
#include "testing/scene.h"

#include <cmath>
#include <gtest/gtest.h>

namespace kestrada {
namespace {

using testing::crashSounds;
using testing::TestGame;

// The car on the asphalt at speed with its hit box shown, and the median
// level with it.
Form& besideMedian(TestGame& g, float carLeft) {
    Form& f = testing::onTheRoad(g, 10, carLeft, 310);
    testing::place(f.picSplit(), 200, -1000);
    return f;
}

TEST(MedianPhase, RoadEdgesKillOnTheLimitItself) {
    for (float left : {67.2f, 388.8f, 20.0f, 400.0f, std::nextafter(67.2f, 100.0f),
                       std::nextafter(388.8f, 0.0f), 150.0f}) {
        TestGame g;
        g.form.picCar().Left = left;
        const bool dies = left <= 67.2f || left >= 388.8f;
        EXPECT_EQ(playerMedianPhase(g.form) == PhaseResult::EndTick, dies) << left;
        EXPECT_EQ(g.form.GameOver, dies) << left;
    }
}

TEST(MedianPhase, TouchingTheMedianOnlyAlongAnEdgeIsSafe) {
    // The median spans x 200 to 281; the car is 25 wide.
    for (float left : {175.0f, 281.0f, 175.5f, 280.5f, 230.0f}) {
        TestGame g;
        besideMedian(g, left);
        g.ticks(1);
        const bool dies = left > 175 && left < 281;
        EXPECT_EQ(g.form.GameOver, dies) << left;
        if (dies) {
            EXPECT_EQ(g.form.imgSplit().Top, g.form.picSplit().Top) << left;
        }
    }
}

TEST(MedianPhase, AMedianOnlyCountsWhileItIsOnTheRoadBesideAShownHitBox) {
    struct Case {
        bool shown;
        float top;
        bool hitBox, dies;
    };
    const Case cases[] = {
        {false, -1000, true, false},
        {true, single(310.0 - 1742.0), true, false}, // its lower end on the roof
        {true, single(310.5 - 1742.0), false, false},
        {true, single(310.5 - 1742.0), true, true},
    };
    for (const Case& c : cases) {
        TestGame g;
        Form& f = besideMedian(g, 230);
        f.picSplit().Top = c.top;
        f.picSplit().Visible = c.shown;
        f.picCar().Visible = c.hitBox;
        EXPECT_EQ(playerMedianPhase(f) == PhaseResult::EndTick, c.dies) << c.top;
    }
}

TEST(MedianPhase, DiesOnceWhenMedianAndEdgeBothApply) {
    TestGame g;
    Form& f = besideMedian(g, 250);
    // A narrower road puts its right edge (0.81 x 300 = 243) inside the
    // median, so both tests would fire.
    f.imgRoad().Width = 300;
    g.soundLog.clear();
    EXPECT_EQ(playerMedianPhase(f), PhaseResult::EndTick);
    EXPECT_EQ(crashSounds(g), 1);
}

} // namespace
} // namespace kestrada
