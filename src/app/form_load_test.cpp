#include "testing/test_game.h"

#include <fstream>
#include <gtest/gtest.h>

namespace kestrada {
namespace {

using testing::TestGame;

TEST(FormLoad, PlacesTheCarOnTheRightVergeAtRest) {
    TestGame g;
    const Form& f = g.form;
    EXPECT_EQ(f.picCar().Left, 386.0f);
    EXPECT_EQ(f.picCar().Top, 360.0f);
    EXPECT_FALSE(f.picCar().Visible);
    EXPECT_TRUE(f.imgCar().Visible);
    EXPECT_EQ(f.imgCar().Left, 386.0f);
    EXPECT_EQ(f.Speed, 0);
    EXPECT_EQ(f.lblScore().Caption, "0");
    EXPECT_TRUE(f.tmrMain.Enabled);
    EXPECT_EQ(f.mousePointer, MousePointer::Transparent);
}

TEST(FormLoad, LaysOutTheCentreLine) {
    TestGame g;
    const float tops[] = {-62, 18, 98, 178, 258, 338, 418};
    for (int i = 1; i <= 7; ++i) {
        EXPECT_EQ(g.form.imgMarker(i).Left, 237.504f) << i;
        EXPECT_EQ(g.form.imgMarker(i).Top, tops[i - 1]) << i;
    }
}

TEST(FormLoad, ParksTheWeaponsOnTheCar) {
    TestGame g;
    const Form& f = g.form;
    EXPECT_EQ(f.imgMissile().Left, 391.0f);
    EXPECT_EQ(f.imgMissile().Top, 370.0f);
    EXPECT_EQ(f.imgMissileGo().Left, 391.0f);
    EXPECT_FALSE(f.imgMine().Visible);
    EXPECT_EQ(f.imgMine().Left, 386.0f);
    EXPECT_EQ(f.WeaponChoice, 1);
    EXPECT_EQ(f.MissileInFlight, 0);
    EXPECT_EQ(f.picSplit().Top, 472.0f);
}

TEST(FormLoad, SetsTheKeyLegendAndMenus) {
    TestGame g;
    const Form& f = g.form;
    EXPECT_EQ(f.lblInfo(2).Caption, "New\r\nGame");
    EXPECT_EQ(f.lblInfo(3).Caption, "1  or  2");
    EXPECT_EQ(f.lblInfo(10).Caption, "Move\r\nAccelerate\r\nBrake");
    EXPECT_EQ(f.mnuPause.Caption, "&Pause");
    EXPECT_FALSE(f.mnuScores.Visible);
    EXPECT_TRUE(f.mnuMusic.Checked);
}

TEST(FormLoad, LoadsTheSoundsOnceAndPlaysTheJingle) {
    TestGame g;
    EXPECT_EQ(g.sndStart.path(), (g.dir.path() / "Start.wav").string());
    EXPECT_EQ(g.sndMusic.path(), (g.dir.path() / "Kestrada.wav").string());
    EXPECT_EQ(g.sndStart.mode(), kModePlaying);
    g.soundLog.clear();
    g.form.mnuNew_Click();
    const std::vector<std::string> expected = {
        "sndMusic.stop", "sndMusic.setpos", "sndStart.stop", "sndCrash.stop",
        "sndStart.stop", "sndStart.setpos", "sndStart.play"};
    EXPECT_EQ(g.soundLog, expected);
}

} // namespace
} // namespace kestrada
