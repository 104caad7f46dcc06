#include "testing/test_game.h"
#include "tick/head_phase.h"

#include <gtest/gtest.h>
#include <set>

namespace kestrada {
namespace {

using testing::TestGame;

TEST(HeadPhase, CountsTicksRollsOneToTwentyAndLetsOwnSpeedsDriftBack) {
    TestGame g(42);
    Form& f = g.form;
    f.Civ1Speed = 33;
    f.Civ2Speed = 8;
    f.HogSpeed = 0;
    f.Civ1Bumped = 1;
    f.Civ2Bumped = 1;
    std::vector<int32_t> civ1;
    std::set<int> rolls;
    for (int i = 1; i <= 2000; ++i) {
        headPhase(f);
        ASSERT_EQ(f.TickCount, i);
        ASSERT_GE(f.RandomRoll, 1);
        ASSERT_LE(f.RandomRoll, 20);
        rolls.insert(f.RandomRoll);
        if (i <= 4) {
            civ1.push_back(f.Civ1Speed);
        }
        if (i == 4) {
            EXPECT_EQ(f.Civ2Speed, 10);
            EXPECT_EQ(f.HogSpeed, 4);
            EXPECT_EQ(f.Civ1Bumped + f.Civ2Bumped, 0);
        }
    }
    EXPECT_EQ(rolls.size(), 20u);
    EXPECT_EQ(civ1, (std::vector<int32_t>{32, 31, 30, 30}));
    EXPECT_EQ(f.HogSpeed, 20);
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
        g.form.picSplit().Visible = false;
        g.form.Score = c.score;
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
    struct Step {
        float top;
        int16_t speed;
        bool shown;
        float after;
    };
    // At rest it is not moved; it goes once its top is below 480.
    for (const Step& s :
         {Step{480, 0, true, 480}, Step{470, 10, true, 480}, Step{480, 1, false, -1742}}) {
        f.picSplit().Top = s.top;
        f.Speed = s.speed;
        headPhase(f);
        EXPECT_EQ(f.picSplit().Visible, s.shown) << s.top << " at " << s.speed;
        EXPECT_EQ(f.picSplit().Top, s.after) << s.top << " at " << s.speed;
    }
}

} // namespace
} // namespace kestrada
