#include "testing/test_game.h"
#include "tick/head_phase.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <set>

namespace kestrada {
namespace {

using testing::TestGame;

TEST(HeadPhase, MusicWaitsForTheJingleWhenEffectsAreOn) {
    TestGame g;
    Form& f = g.form;
    f.TickCount = 70;
    g.ticks(5); // ticks beginning with 70 to 74
    EXPECT_FALSE(f.MusicPlaying);
    EXPECT_EQ(g.sndMusic.mode(), kModeStopped);
    EXPECT_EQ(g.sndStart.mode(), kModePlaying);

    g.ticks(1); // begins with 75
    EXPECT_TRUE(f.MusicPlaying);
    EXPECT_EQ(g.sndMusic.mode(), kModePlaying);
    EXPECT_EQ(g.sndStart.mode(), kModeStopped);
    EXPECT_EQ(f.TickCount, 76);

    g.soundLog.clear();
    g.ticks(3);
    EXPECT_TRUE(g.soundLog.empty());
}

TEST(HeadPhase, MusicStartsAtOnceWithoutTheJingle) {
    TestGame g;
    g.form.mnuEffects.Checked = false;
    g.soundLog.clear();
    g.ticks(1);
    EXPECT_TRUE(g.form.MusicPlaying);
    const std::vector<std::string> expected = {"sndStart.stop", "sndMusic.stop", "sndMusic.setpos",
                                               "sndMusic.play"};
    EXPECT_EQ(g.soundLog, expected);
}

TEST(HeadPhase, MusicSwitchedOffAtTheMomentIsNeverRetried) {
    TestGame g;
    Form& f = g.form;
    f.mnuMusic.Checked = false;
    f.TickCount = 74;
    g.ticks(2);
    EXPECT_FALSE(f.MusicPlaying);
    EXPECT_EQ(g.sndStart.mode(), kModeStopped); // the jingle is cut all the same
    f.mnuMusic.Checked = true;
    g.ticks(5);
    EXPECT_FALSE(f.MusicPlaying);
    EXPECT_EQ(g.sndMusic.mode(), kModeStopped);
}

TEST(HeadPhase, APausedGameDoesNotStartTheMusic) {
    TestGame g;
    Form& f = g.form;
    f.lblPaused().Visible = true;
    f.TickCount = 75;
    headPhase(f);
    EXPECT_FALSE(f.MusicPlaying);
    EXPECT_EQ(g.sndMusic.mode(), kModeStopped);
}

TEST(HeadPhase, CountsTicksAndRollsOneToTwenty) {
    TestGame g(42);
    Form& f = g.form;
    std::set<int> seen;
    for (int i = 1; i <= 2000; ++i) {
        headPhase(f);
        ASSERT_EQ(f.TickCount, i);
        ASSERT_GE(f.RandomRoll, 1);
        ASSERT_LE(f.RandomRoll, 20);
        seen.insert(f.RandomRoll);
    }
    EXPECT_EQ(seen.size(), 20u);
}

TEST(HeadPhase, OtherVehiclesDriftBackToTheirCruisingSpeeds) {
    TestGame g;
    Form& f = g.form;
    f.Civ1Speed = 33;
    f.Civ2Speed = 8;
    f.HogSpeed = 0;
    f.Civ1Bumped = 1;
    std::vector<int32_t> civ1;
    for (int i = 0; i < 4; ++i) {
        headPhase(f);
        civ1.push_back(f.Civ1Speed);
    }
    EXPECT_EQ(civ1, (std::vector<int32_t>{32, 31, 30, 30}));
    EXPECT_EQ(f.Civ2Speed, 10);
    EXPECT_EQ(f.HogSpeed, 4);
    EXPECT_EQ(f.Civ1Bumped, 0);
    for (int i = 0; i < 20; ++i) {
        headPhase(f);
    }
    EXPECT_EQ(f.HogSpeed, 20);
}

// A fresh game with the median gone and the given score.
void medianGone(TestGame& g, double score) {
    g.form.picSplit().Visible = false;
    g.form.Score = score;
}

TEST(HeadPhase, AMedianComesWhenTheRoundedScoreStartsAFourThousand) {
    const struct {
        double score;
        bool appears;
    } cases[] = {
        {0, true},      {499.4, true},   {499.5, false}, {3999.75, true}, {3999.4, false},
        {4499.4, true}, {4499.5, false}, {4500, false},  {8000.2, true},  {4498.5, true},
    };
    for (const auto& c : cases) {
        TestGame g;
        medianGone(g, c.score);
        headPhase(g.form);
        EXPECT_EQ(g.form.picSplit().Visible, c.appears) << c.score;
        if (c.appears) {
            EXPECT_EQ(g.form.picSplit().Top, -1742.0f) << c.score;
            EXPECT_EQ(g.form.picSplit().Left, 200.0f);
        }
    }
}

TEST(HeadPhase, TheMedianLeavesOnlyOnceItsTopIsPastTheRoad) {
    TestGame g;
    Form& f = g.form;
    f.Score = 1000; // no new median
    f.picSplit().Visible = true;
    f.picSplit().Top = 480;
    f.Speed = 0;
    headPhase(f);
    EXPECT_TRUE(f.picSplit().Visible);
    EXPECT_EQ(f.picSplit().Top, 480.0f); // not placed again, not moved

    f.picSplit().Top = 470;
    f.Speed = 10;
    headPhase(f);
    EXPECT_TRUE(f.picSplit().Visible);
    EXPECT_EQ(f.picSplit().Top, 480.0f);

    f.Speed = 1;
    headPhase(f);
    EXPECT_FALSE(f.picSplit().Visible);
    EXPECT_EQ(f.picSplit().Top, -1742.0f);
}

} // namespace
} // namespace kestrada
