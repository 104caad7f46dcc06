#include "testing/test_game.h"
#include "traffic/vehicle_collisions.h"

#include <gtest/gtest.h>

namespace kestrada {
namespace {

using testing::TestGame;

void place(Control& c, float left, float top) {
    c.Left = left;
    c.Top = top;
    c.Visible = true;
}

Form& atSpeed(TestGame& g, int16_t speed) {
    g.form.Speed = speed;
    return g.form;
}

TEST(VehicleCollisions, TheCivilianCarsWreckEachOther) {
    TestGame g;
    Form& f = atSpeed(g, 25);
    place(f.imgCiv1(), 150, 200);
    place(f.imgCiv2(), 170, 230);
    vehicleCollisionPhase(f);
    EXPECT_FALSE(f.imgCiv1().Visible);
    EXPECT_FALSE(f.imgCiv2().Visible);
    EXPECT_TRUE(f.imgCiv1Crash().Visible);
    EXPECT_TRUE(f.imgCiv2Crash().Visible);
    EXPECT_EQ(f.imgCiv1Crash().Left, 150.0f);
    EXPECT_EQ(f.imgCiv1Crash().Top, 200.0f);
    EXPECT_EQ(f.imgCiv2Crash().Left, 170.0f);
    EXPECT_EQ(f.imgCiv2Crash().Top, 230.0f);
    EXPECT_DOUBLE_EQ(f.Score, 100.0);
}

TEST(VehicleCollisions, EdgesThatOnlyMeetDoNotCollide) {
    TestGame g;
    Form& f = atSpeed(g, 25);
    place(f.imgCiv1(), 150, 200);
    place(f.imgCiv2(), 177, 200); // car 1 is 27 wide
    place(f.imgHog(), 150, 241);  // car 1 is 41 high
    place(f.imgMs(), 203, 200);   // car 2 is 26 wide
    vehicleCollisionPhase(f);
    EXPECT_TRUE(f.imgCiv1().Visible);
    EXPECT_TRUE(f.imgCiv2().Visible);
    EXPECT_TRUE(f.imgMs().Visible);
    EXPECT_EQ(f.Score, 0.0);

    f.imgCiv2().Left = 176.5f;
    vehicleCollisionPhase(f);
    EXPECT_FALSE(f.imgCiv1().Visible);
    EXPECT_FALSE(f.imgCiv2().Visible);
}

TEST(VehicleCollisions, HiddenVehiclesTakeNoPart) {
    TestGame g;
    Form& f = atSpeed(g, 25);
    place(f.imgCiv1(), 150, 200);
    f.imgCiv2().Left = 150;
    f.imgCiv2().Top = 200;
    f.imgHog().Left = 150;
    f.imgHog().Top = 200;
    vehicleCollisionPhase(f);
    EXPECT_TRUE(f.imgCiv1().Visible);
    EXPECT_FALSE(f.imgCiv1Crash().Visible);
}

TEST(VehicleCollisions, AVehicleIsWreckedOnceByTheFirstPairThatTouches) {
    TestGame g;
    Form& f = atSpeed(g, 25);
    place(f.imgCiv1(), 150, 200);
    place(f.imgCiv2(), 160, 220);
    place(f.imgHog(), 140, 190);
    vehicleCollisionPhase(f);
    // Car 1 and car 2 went in the first pair; the hog had nothing left.
    EXPECT_DOUBLE_EQ(f.Score, 100.0);
    EXPECT_TRUE(f.imgHog().Visible);
    EXPECT_EQ(f.imgHog().Left, 140.0f);
    EXPECT_EQ(f.imgHog().Top, 190.0f);
}

TEST(VehicleCollisions, TheHogWrecksEverythingItTouchesAndDrivesOn) {
    TestGame g;
    Form& f = atSpeed(g, 25);
    f.HogSpeed = 17;
    place(f.imgHog(), 200, 200);
    place(f.imgCiv1(), 180, 170); // touches the hog only
    place(f.imgCiv2(), 215, 235); // touches the hog only
    place(f.imgMs(), 225, 190);
    vehicleCollisionPhase(f);
    EXPECT_TRUE(f.imgCiv1Crash().Visible);
    EXPECT_TRUE(f.imgCiv2Crash().Visible);
    EXPECT_TRUE(f.imgMdead().Visible);
    EXPECT_EQ(f.imgMdead().Left, 225.0f); // the wreck's corner on the bike's
    EXPECT_EQ(f.imgMdead().Top, 190.0f);
    EXPECT_DOUBLE_EQ(f.Score, 150.0);
    EXPECT_TRUE(f.imgHog().Visible);
    EXPECT_EQ(f.imgHog().Left, 200.0f);
    EXPECT_EQ(f.HogSpeed, 17);
    EXPECT_FALSE(f.imgHogCrash().Visible);
}

TEST(VehicleCollisions, TheMotorcycleAlwaysLosesAndOnlyOnce) {
    TestGame g;
    Form& f = atSpeed(g, 25);
    place(f.imgHog(), 200, 200);
    place(f.imgMs(), 220, 230);
    place(f.imgCiv1(), 230, 250); // touches the bike, not the hog
    vehicleCollisionPhase(f);
    EXPECT_TRUE(f.imgMdead().Visible);
    EXPECT_TRUE(f.imgCiv1().Visible);
    EXPECT_DOUBLE_EQ(f.Score, 50.0);

    using Car = Control& (Form::*)();
    const Car cars[] = {&Form::imgCiv1, &Form::imgCiv2};
    for (Car car : cars) {
        TestGame h;
        Form& e = atSpeed(h, 25);
        place((e.*car)(), 200, 200);
        place(e.imgMs(), 210, 210);
        vehicleCollisionPhase(e);
        EXPECT_TRUE(e.imgMdead().Visible);
        EXPECT_TRUE((e.*car)().Visible);
    }
}

TEST(VehicleCollisions, RewardsFollowTheSpeedAsItStandsMidTick) {
    for (const auto& [speed, score] : {std::pair<int16_t, double>{-2, -8}, {0, 0}, {28, 112}}) {
        TestGame g;
        Form& f = atSpeed(g, speed);
        place(f.imgCiv1(), 150, 200);
        place(f.imgCiv2(), 160, 210);
        vehicleCollisionPhase(f);
        EXPECT_DOUBLE_EQ(f.Score, score) << speed;
    }
}

} // namespace
} // namespace kestrada
