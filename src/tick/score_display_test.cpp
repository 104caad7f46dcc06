#include "testing/test_game.h"
#include "tick/score_display.h"

#include <gtest/gtest.h>

namespace kestrada {
namespace {

using testing::TestGame;

// A car in the middle of the left carriageway: on the asphalt, clear of the
// median and of both edges, so its speed holds with no key held.
void cruise(Form& f, int16_t speed) {
    f.picCar().Left = 150;
    f.Speed = speed;
    f.PrevSpeed = speed;
}

TEST(ScoreDisplay, DistancePaysAQuarterPointPerPixelAboveCrawling) {
    TestGame g;
    cruise(g.form, 1);
    g.ticks(3);
    EXPECT_EQ(g.form.Score, 0.0);
    EXPECT_EQ(g.form.lblScore().Caption, "0");

    cruise(g.form, 2);
    std::vector<std::string> captions;
    for (int i = 0; i < 4; ++i) {
        g.ticks(1);
        captions.push_back(g.form.lblScore().Caption);
    }
    EXPECT_EQ(captions, (std::vector<std::string>{"0", "1", "1", "2"}));
    EXPECT_EQ(g.form.Score, 2.0);

    cruise(g.form, 25);
    g.ticks(2);
    EXPECT_EQ(g.form.Score, 14.5);
    EXPECT_EQ(g.form.lblScore().Caption, "14");
}

TEST(ScoreDisplay, LabelShowsTheWholePartOnly) {
    TestGame g;
    g.form.Score = 1234.75;
    g.ticks(1); // at rest: nothing is added
    EXPECT_EQ(g.form.lblScore().Caption, "1234");

    g.form.Score = 99999.999;
    scorePhase(g.form);
    EXPECT_EQ(g.form.lblScore().Caption, "99999");
}

TEST(ScoreDisplay, NeedleFollowsTheSpeedFromItsPivot) {
    TestGame g;
    Form& f = g.form;
    // Form_Load leaves the needle at its design rest; the first tick puts it
    // where speed 0 really points, though the speed did not change.
    EXPECT_EQ(f.linSpeed.X2, 515.0f);
    g.ticks(1);
    EXPECT_NEAR(f.linSpeed.X2, 536 - 13.4, 0.05);
    EXPECT_NEAR(f.linSpeed.Y2, 182 + 24.6, 0.05);

    f.Speed = 13;
    scorePhase(f);
    EXPECT_NEAR(f.linSpeed.X2, 536.0, 0.5); // roughly straight up
    EXPECT_NEAR(f.linSpeed.Y2, 182 - 28.0, 0.01);

    cruise(f, 25);
    g.ticks(1);
    EXPECT_NEAR(f.linSpeed.X2, 536 + 18.5, 0.05);
    EXPECT_NEAR(f.linSpeed.Y2, 182 + 21.1, 0.05);
    EXPECT_EQ(f.linSpeed.X1, 536.0f);
    EXPECT_EQ(f.linSpeed.Y1, 182.0f);
}

TEST(ScoreDisplay, ACrashTickLeavesScoreAndNeedleAlone) {
    TestGame g;
    Form& f = g.form;
    cruise(f, 10);
    g.ticks(1);
    const std::string caption = f.lblScore().Caption;
    const double score = f.Score;
    const Line needle = f.linSpeed;

    f.picCar().Left = 60; // off the left edge
    g.ticks(1);
    ASSERT_TRUE(f.GameOver);
    EXPECT_EQ(f.Score, score);
    EXPECT_EQ(f.lblScore().Caption, caption);
    EXPECT_EQ(f.linSpeed.X2, needle.X2);
    EXPECT_EQ(f.linSpeed.Y2, needle.Y2);
}

} // namespace
} // namespace kestrada
