#include "numeric.h"
#include "testing/scene.h"
#include "traffic/road_hog.h"

#include <gtest/gtest.h>

namespace kestrada {
namespace {

using testing::onTheRoad;
using testing::place;
using testing::primeNextDraw;
using testing::TestGame;

// A hog pressed against the car's left flank, level with it.
void againstTheFlank(Form& f) {
    place(f.imgHog(), 276, 300);
}

// Every 68th tick once the score passes 2500, with odds that grow with its
// eighth root, and never while its wreck is on the road.
TEST(RoadHogEntry, FollowsTheTickTheScoreTheRollAndItsWreck) {
    struct Case {
        int32_t tick;
        double score;
        int16_t roll;
        bool wreck, enters;
    };
    const Case cases[] = {
        {68, 2500, 1, false, false},    {68, 2500.5, 1, false, true},
        {68, 2500.5, 7, false, true},   {68, 6561, 8, false, false},
        {68, 6561, 7, false, true},     {68, 6562, 8, false, true},
        {68, 1700000, 11, false, true}, {68, 1700000, 12, false, false},
        {17, 3000, 1, false, false},    {34, 3000, 1, false, false},
        {69, 3000, 1, false, false},    {136, 3000, 1, false, true},
        {68, 3000, 1, true, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message() << "tick " << c.tick << " score " << c.score << " roll "
                                          << c.roll << (c.wreck ? " wreck shown" : ""));
        TestGame g;
        Form& f = g.form;
        f.TickCount = c.tick;
        f.RandomRoll = c.roll;
        f.Score = c.score;
        if (c.wreck) {
            place(f.imgHogCrash(), 100, 100);
        }
        const RandomGenerator before = f.rng;
        EXPECT_EQ(roadHogPhase(f), PhaseResult::Continue);
        EXPECT_EQ(f.imgHog().Visible, c.enters);
        EXPECT_EQ(f.rng == before, !c.enters);
    }
}

TEST(RoadHogEntry, EntersBelowTheRoadOnALaneDrawnOnceEvenOntoTheMedian) {
    for (const bool median : {false, true}) {
        SCOPED_TRACE(median ? "lane on the median" : "free lane");
        TestGame g;
        Form& f = g.form;
        f.TickCount = 68;
        f.RandomRoll = 1;
        f.Score = 3000;
        f.Speed = 25;
        place(f.picSplit(), 200, -1000); // reaches down past the road
        f.picSplit().Visible = median;
        primeNextDraw(f, [&](float r) { return Int(262.0 * r) == (median ? 130 : 100); });
        RandomGenerator expected = f.rng;
        expected.next();
        roadHogPhase(f);
        EXPECT_EQ(f.rng, expected);
        EXPECT_EQ(f.HogSpeed, 20);
        EXPECT_EQ(f.imgHog().Visible, !median);
        EXPECT_EQ(f.imgHogCrash().Visible, median);
        if (median) {
            EXPECT_EQ(f.imgHogCrash().Left, 226.0f);
            EXPECT_EQ(f.imgHogCrash().Top, 480.0f);
            EXPECT_DOUBLE_EQ(f.Score, 3100.0);
        } else {
            // Drawn at 196, Top 480, then one step of pursuit toward (386, 360).
            EXPECT_EQ(f.imgHog().Left, 200.0f);
            EXPECT_EQ(f.imgHog().Top, 478.0f);
        }
    }
}

// Toward the car's Top by 2 and toward a Left 1 pixel inside the car's left
// flank (273 here) by 4, left first; the median and the road's left only
// block moves to the left.
TEST(RoadHogPursuit, StepsTowardTheCarsLeftFlankBlockedOnlyOnTheLeft) {
    struct Case {
        float carLeft, carTop;
        bool median;
        float hogLeft, hogTop, leftAfter, topAfter;
    };
    const Case cases[] = {
        {300, 300, false, 150, 300, 154, 300},      {300, 300, false, 150, 301, 154, 301},
        {300, 300, false, 150, 299, 154, 301},      {300, 300, false, 150, 310, 154, 308},
        {300, 300, false, 150, 250, 154, 252},      {40, 200, true, 283, 200, 283, 200},
        {40, 200, true, 285, 200, 281, 200},        {40, 200, true, 170, 200, 166, 200},
        {40, 200, false, 283, 200, 279, 200},       {40, 200, false, 101, 200, 97, 200},
        {40, 200, false, 100.5f, 200, 100.5f, 200}, {300, 200, true, 190, 200, 194, 200},
        {300, 300, false, 277, 100, 273, 102},      {300, 300, false, 275, 100, 275, 102},
        {300, 300, false, 274, 100, 274, 102}, // it settles on 273 to 275
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message() << "hog at " << c.hogLeft << ", " << c.hogTop
                                          << (c.median ? " beside the median" : ""));
        TestGame g;
        Form& f = onTheRoad(g, 10, c.carLeft, c.carTop);
        place(f.picSplit(), 200, -1642); // ends at 100, above the hog
        f.picSplit().Visible = c.median;
        place(f.imgHog(), c.hogLeft, c.hogTop);
        roadHogPhase(f);
        EXPECT_EQ(f.imgHog().Left, c.leftAfter);
        EXPECT_EQ(f.imgHog().Top, c.topAfter);
    }
}

// Steering left into the hog knocks it away, and it comes straight back;
// otherwise it shoves the car right, slowing it above 3. A car at rest
// when the hog touches it is finished, hit box shown or not.
TEST(RoadHogContact, ShovesTheCarRightOrIsKnockedAwayAndFinishesACarAtRest) {
    struct Case {
        int16_t speed;
        int32_t leftHeld;
        float carLeft;
        int16_t speedAfter;
        float hogLeft;
    };
    for (const Case& c : {Case{10, 0, 307, 9, 280}, Case{4, 0, 301, 3, 276},
                          Case{3, 0, 302, 3, 276}, Case{1, 0, 302, 1, 276}, Case{0, 0, 302, 0, 276},
                          Case{1, 1, 299, 1, 273}, Case{0, 1, 299, 0, 274}}) {
        SCOPED_TRACE(::testing::Message() << "speed " << c.speed << (c.leftHeld ? " left" : ""));
        TestGame g;
        Form& f = onTheRoad(g, c.speed);
        f.picCar().Visible = false; // the hog feels the car all the same
        f.LeftHeld = c.leftHeld;
        againstTheFlank(f);
        const bool dies = c.speed == 0;
        EXPECT_EQ(roadHogPhase(f), dies ? PhaseResult::EndTick : PhaseResult::Continue);
        EXPECT_EQ(f.picCar().Left, c.carLeft);
        EXPECT_EQ(f.Speed, c.speedAfter);
        EXPECT_EQ(f.imgHog().Left, c.hogLeft);
        EXPECT_TRUE(f.imgHog().Visible);
        EXPECT_EQ(f.GameOver, dies);
        EXPECT_EQ(f.imgWreck().Visible, dies);
    }
}

TEST(RoadHogContact, ABumpThatStopsTheCarLetsTheHogEndTheGame) {
    TestGame g;
    Form& f = onTheRoad(g, 3, 300, 345);
    place(f.imgCiv1(), 300, 320); // ahead and touching: the player runs into it
    place(f.imgHog(), 276, 345);
    place(f.imgMs(), 300, 340); // on the car: only a later phase would wreck it
    g.ticks(1);
    EXPECT_EQ(f.Speed, 0);
    EXPECT_TRUE(f.GameOver);
    EXPECT_TRUE(f.imgMs().Visible);
    EXPECT_FALSE(f.imgMdead().Visible);
    g.ticks(5);
    EXPECT_EQ(f.TickCount, 2);
}

// Rewards: 100 for the median or a crater met while hunting, 250 for a
// crater and 500 for the median after shoving the car, 500 past an edge,
// where the wreck is put on the edge itself.
TEST(RoadHogCrash, TheMedianCratersAndTheRoadsEdgesWreckIt) {
    struct Case {
        const char* what;
        int16_t speed;
        float carLeft, carTop;
        int32_t leftHeld;
        bool median;
        float craterLeft, craterTop, hogLeft, hogTop;
        float carLeftAfter, wreckLeft, wreckTop;
        double score;
    };
    const Case cases[] = {
        {"knocked onto the median", 20, 306, 300, 1, true, 0, 0, 282, 300, 305, 260, 300, 400},
        {"on the median before touching", 25, 290, 300, 0, true, 0, 0, 264, 300, 290, 264, 300,
         100},
        {"into a crater after a shove", 10, 300, 300, 0, false, 270, 271, 276, 300, 307, 276, 300,
         90},
        {"into a crater while hunting", 25, 300, 300, 0, false, 160, 73, 150, 100, 300, 154, 102,
         100},
        {"a pixel short of that crater", 25, 300, 300, 0, false, 160, 72, 150, 100, 300, 0, 0, 0},
        {"knocked past the left edge", 20, 90, 300, 1, false, 0, 0, 65, 300, 89, 67.2f, 300, 400},
        {"past the right edge", 25, 150, 100, 0, false, 0, 0, 390, 300, 150, 388.8f, 298, 500},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TestGame g;
        Form& f = onTheRoad(g, c.speed, c.carLeft, c.carTop);
        f.LeftHeld = c.leftHeld;
        place(f.picSplit(), 200, -1000);
        f.picSplit().Visible = c.median;
        f.CratersInPlay = c.craterLeft != 0 ? 1 : 0;
        place(f.imgCrater(1), c.craterLeft, c.craterTop);
        f.imgCrater(1).Visible = c.craterLeft != 0;
        place(f.imgHog(), c.hogLeft, c.hogTop);
        roadHogPhase(f);
        const bool wrecked = c.score != 0;
        EXPECT_EQ(f.picCar().Left, c.carLeftAfter);
        EXPECT_EQ(f.imgHog().Visible, !wrecked);
        EXPECT_EQ(f.imgHogCrash().Visible, wrecked);
        if (wrecked) {
            EXPECT_EQ(f.imgHogCrash().Left, c.wreckLeft);
            EXPECT_EQ(f.imgHogCrash().Top, c.wreckTop);
        }
        EXPECT_DOUBLE_EQ(f.Score, c.score);
        if (c.craterLeft != 0) {
            EXPECT_EQ(f.CraterIndex, wrecked ? 1 : 2);
        }
    }
}

} // namespace
} // namespace kestrada
