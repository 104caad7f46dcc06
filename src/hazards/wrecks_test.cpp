#include "app/overlap.h"
#include "hazards/wrecks.h"
#include "testing/scene.h"

#include <gtest/gtest.h>

namespace kestrada {
namespace {

using testing::place;
using testing::TestGame;

// The player's car on the road surface at a steady speed.
Form& driving(TestGame& g, int16_t speed) {
    return testing::onTheRoad(g, speed, 300, 310);
}

TEST(WreckScroll, WrecksRideDownWithTheRoadAndDropOffTheBottom) {
    TestGame g;
    Form& f = g.form;
    f.Speed = 25;
    place(f.imgCiv1Crash(), 150, 455);
    place(f.imgCiv2Crash(), 160, 454);
    f.imgHogCrash().Top = 100; // hidden: stays parked
    place(f.imgMdead(), 170, -100);
    wreckScrollPhase(f);
    EXPECT_FALSE(f.imgCiv1Crash().Visible); // exactly 480
    EXPECT_EQ(f.imgCiv1Crash().Top, 480.0f);
    EXPECT_TRUE(f.imgCiv2Crash().Visible);
    EXPECT_EQ(f.imgCiv2Crash().Top, 479.0f);
    EXPECT_EQ(f.imgHogCrash().Top, 100.0f);
    EXPECT_FALSE(f.imgHogCrash().Visible);
    EXPECT_TRUE(f.imgMdead().Visible); // the top edge never removes one
    EXPECT_EQ(f.imgMdead().Top, -75.0f);
    EXPECT_EQ(f.imgCiv2Crash().Left, 160.0f);
}

// Cars and the motorcycle crash into the civilian cars' and the hog's
// wrecks, for nothing at rest; the hog drives over wrecks and the
// motorcycle's hurts nobody.
TEST(WreckCollisions, MovingVehiclesCrashIntoTheWrecksTheyMeetPaidByTheSpeed) {
    struct Case {
        ControlId vehicle, obstacle, ownWreck;
        int16_t speed;
        bool crashes;
        double score;
    };
    const Case cases[] = {
        {ControlId::imgCiv1, ControlId::imgCiv2Crash, ControlId::imgCiv1Crash, 25, true, 50},
        {ControlId::imgCiv2, ControlId::imgCiv1Crash, ControlId::imgCiv2Crash, 25, true, 50},
        {ControlId::imgMs, ControlId::imgCiv1Crash, ControlId::imgMdead, 25, true, 50},
        {ControlId::imgMs, ControlId::imgCiv2Crash, ControlId::imgMdead, 25, true, 50},
        {ControlId::imgMs, ControlId::imgHogCrash, ControlId::imgMdead, 25, true, 50},
        {ControlId::imgCiv1, ControlId::imgHogCrash, ControlId::imgCiv1Crash, -1, true, -2},
        {ControlId::imgCiv2, ControlId::imgHogCrash, ControlId::imgCiv2Crash, 10, true, 20},
        {ControlId::imgCiv1, ControlId::imgMdead, ControlId::imgCiv1Crash, 25, false, 0},
        {ControlId::imgHog, ControlId::imgCiv2Crash, ControlId::imgHogCrash, 25, false, 0},

        {ControlId::imgCiv2, ControlId::imgCiv1Crash, ControlId::imgCiv2Crash, 0, true, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message() << int(c.vehicle) << " into " << int(c.obstacle));
        TestGame g;
        Form& f = driving(g, c.speed);
        place(f.control(c.obstacle), 150, 200);
        place(f.control(c.vehicle), 155, 210);
        EXPECT_EQ(wreckCollisionPhase(f), PhaseResult::Continue);
        EXPECT_EQ(f.control(c.vehicle).Visible, !c.crashes);
        EXPECT_EQ(f.control(c.ownWreck).Visible, c.crashes);
        if (c.crashes) {
            EXPECT_EQ(f.control(c.ownWreck).Left, 155.0f);
        }
        EXPECT_DOUBLE_EQ(f.Score, c.score);
        EXPECT_TRUE(f.control(c.obstacle).Visible);
    }
}

TEST(WreckCollisions, AWreckMadeByOneTestIsThereForTheNext) {
    TestGame g;
    Form& f = driving(g, 25);
    place(f.imgCiv2Crash(), 150, 200);
    place(f.imgCiv1(), 160, 220); // test 1
    place(f.imgMs(), 170, 250);   // clear of car 2's wreck, on car 1's place
    EXPECT_FALSE(overlaps(f.imgMs(), f.imgCiv2Crash()));
    EXPECT_EQ(wreckCollisionPhase(f), PhaseResult::Continue);
    EXPECT_TRUE(f.imgCiv1Crash().Visible);
    EXPECT_EQ(f.imgCiv1Crash().Left, 160.0f);
    EXPECT_TRUE(f.imgMdead().Visible);
    EXPECT_EQ(f.imgMdead().Top, 250.0f);
    EXPECT_DOUBLE_EQ(f.Score, 100.0);

    // A wreck made here can kill the player in the same tick.
    TestGame h;
    Form& e = driving(h, 25);
    place(e.imgCiv2Crash(), 280, 250);
    place(e.imgCiv1(), 290, 280); // touches the wreck and the player's car
    EXPECT_EQ(wreckCollisionPhase(e), PhaseResult::EndTick);
    EXPECT_TRUE(e.GameOver);
}

// The player's car (300..325 x 310..354) dies once on a civilian car's
// wreck, even with only its picture shown on the verge, and passes over
// the others; a wreck only touching it is harmless.
TEST(WreckCollisions, ThePlayerDiesOnceOnACivilianWreckItOverlaps) {
    struct Case {
        ControlId wreck, other;
        float left, top, otherLeft, otherTop;
        bool hitBox, dies;
    };
    const Case cases[] = {
        {ControlId::imgCiv1Crash, ControlId::imgCiv2Crash, 310, 330, 0, 0, false, true},
        {ControlId::imgCiv2Crash, ControlId::imgCiv1Crash, 310, 330, 0, 0, false, true},
        {ControlId::imgCiv1Crash, ControlId::imgCiv2Crash, 300, 300, 305, 330, true, true},
        {ControlId::imgCiv1Crash, ControlId::imgCiv2Crash, 325, 310, 300, 354, true, false},
        {ControlId::imgHogCrash, ControlId::imgMdead, 300, 300, 300, 310, true, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message() << int(c.wreck) << " at " << c.left << ", " << c.top);
        TestGame g;
        Form& f = driving(g, 25);
        f.picCar().Visible = c.hitBox;
        place(f.control(c.wreck), c.left, c.top);
        place(f.control(c.other), c.otherLeft, c.otherTop);
        g.soundLog.clear();
        EXPECT_EQ(wreckCollisionPhase(f) == PhaseResult::EndTick, c.dies);
        EXPECT_EQ(f.GameOver, c.dies);
        EXPECT_EQ(testing::crashSounds(g), c.dies ? 1 : 0);
    }
}

} // namespace
} // namespace kestrada
