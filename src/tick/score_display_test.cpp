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

TEST(ScoreDisplay, DistancePaysAQuarterPointPerPixelAboveCrawlingShownWhole) {
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

    g.form.Score = 99999.999;
    scorePhase(g.form);
    EXPECT_EQ(g.form.lblScore().Caption, "100006");
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

} // namespace
} // namespace kestrada
