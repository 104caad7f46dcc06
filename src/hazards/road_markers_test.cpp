#include "hazards/road_markers.h"
#include "testing/test_game.h"

#include <gtest/gtest.h>

namespace kestrada {
namespace {

using testing::TestGame;

std::vector<float> markerTops(const Form& f) {
    std::vector<float> tops;
    for (int i = 1; i <= 7; ++i) {
        tops.push_back(f.imgMarker(i).Top);
    }
    return tops;
}

TEST(RoadMarkers, StandStillWhileTheCarDoes) {
    TestGame g;
    const auto before = markerTops(g.form);
    g.ticks(5);
    EXPECT_EQ(markerTops(g.form), before);
}

TEST(RoadMarkers, ScrollByTheSpeedEveryTick) {
    TestGame g;
    Form& f = g.form;
    f.picCar().Left = 150;
    f.Speed = 10;
    f.PrevSpeed = 10;
    g.ticks(3);
    EXPECT_EQ(markerTops(f), (std::vector<float>{-32, 48, 128, 208, 288, 368, 448}));
}

TEST(RoadMarkers, WrapBySevenDashPeriodsOnceTheyReachTheBottom) {
    TestGame g;
    Form& f = g.form;
    f.Speed = 10;
    f.imgMarker(3).Top = 470; // lands exactly on 480
    f.imgMarker(5).Top = 469; // lands on 479: still on the road
    markerPhase(f);
    EXPECT_EQ(f.imgMarker(3).Top, -80.0f);
    EXPECT_EQ(f.imgMarker(5).Top, 479.0f);

    f.Speed = 25;
    f.imgMarker(6).Top = 465;
    markerPhase(f);
    EXPECT_EQ(f.imgMarker(6).Top, -70.0f);
}

TEST(RoadMarkers, KeepTheirSpacingAtTopSpeed) {
    TestGame g;
    Form& f = g.form;
    f.Speed = 25;
    std::vector<int> wrapsOfFirst;
    for (int tick = 1; tick <= 400; ++tick) {
        const float before = f.imgMarker(1).Top;
        markerPhase(f);
        if (f.imgMarker(1).Top < before) {
            wrapsOfFirst.push_back(tick);
        }
        for (int i = 1; i <= 7; ++i) {
            const float top = f.imgMarker(i).Top;
            ASSERT_GE(top, -80.0f) << "tick " << tick;
            ASSERT_LT(top, 480.0f) << "tick " << tick;
            const float gap = f.imgMarker(i % 7 + 1).Top - top;
            // Neighbours stay one period apart, or six back across the wrap.
            ASSERT_TRUE(gap == 80.0f || gap == -480.0f) << "tick " << tick << " marker " << i;
        }
    }
    ASSERT_GE(wrapsOfFirst.size(), 2u);
    for (std::size_t k = 1; k < wrapsOfFirst.size(); ++k) {
        const int interval = wrapsOfFirst[k] - wrapsOfFirst[k - 1];
        EXPECT_TRUE(interval == 22 || interval == 23) << interval;
    }
}

} // namespace
} // namespace kestrada
