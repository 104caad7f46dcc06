#include "testing/test_game.h"
#include "tick/head_phase.h"

#include <gtest/gtest.h>
#include <set>

namespace kestrada {
namespace {

using testing::TestGame;

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

} // namespace
} // namespace kestrada
