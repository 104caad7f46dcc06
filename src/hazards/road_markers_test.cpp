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

TEST(RoadMarkers, ScrollByTheSpeedEveryTickAndStandStillWithTheCar) {
    TestGame g;
    Form& f = g.form;
    const auto atRest = markerTops(f);
    g.ticks(5);
    EXPECT_EQ(markerTops(f), atRest);

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

} // namespace
} // namespace kestrada
