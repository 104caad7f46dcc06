#include "testing/test_game.h"

#include <fstream>
#include <gtest/gtest.h>

namespace kestrada {
namespace {

using testing::TestGame;

std::string readFile(const std::filesystem::path& p) {
    std::ifstream in(p, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

TEST(Die, FreezesThePlayFieldAndShowsTheWreck) {
    TestGame g;
    Form& f = g.form;
    f.picSplit().Visible = true;
    f.picSplit().Top = 100;
    f.picCar().Left = 250;
    f.picCar().Top = 300;
    f.Die();
    EXPECT_TRUE(f.GameOver);
    EXPECT_FALSE(f.tmrMain.Enabled);
    EXPECT_EQ(f.lblSpeed().Caption, "0");
    EXPECT_FALSE(f.linSpeed.Visible);
    EXPECT_FALSE(f.mnuPause.Enabled);
    EXPECT_EQ(f.mousePointer, MousePointer::Default);
    EXPECT_TRUE(f.imgSplit().Visible);
    EXPECT_EQ(f.imgSplit().Top, 100.0f);
    EXPECT_FALSE(f.picSplit().Visible);
    EXPECT_EQ(f.drawOrder.front(), ControlId::imgWreck);
    EXPECT_TRUE(f.imgWreck().Visible);
    EXPECT_EQ(f.imgWreck().Left, 250.0f);
    EXPECT_EQ(f.imgWreck().Top, 300.0f);
    EXPECT_FALSE(f.imgCar().Visible);
    EXPECT_FALSE(f.picCar().Visible);
    EXPECT_TRUE(f.imgCracked().Visible);
    EXPECT_FALSE(f.imgDash().Visible);
    EXPECT_FALSE(g.host.ended);
}

TEST(Die, PlaysTheCrashOnlyWithEffectsOn) {
    TestGame g;
    g.form.Die();
    EXPECT_EQ(g.sndCrash.mode(), kModePlaying);
    EXPECT_EQ(g.sndMusic.mode(), kModeStopped);

    TestGame quiet;
    quiet.form.mnuEffects_Click();
    quiet.soundLog.clear();
    quiet.form.Die();
    EXPECT_EQ(quiet.sndCrash.mode(), kModeStopped);
    for (const auto& op : quiet.soundLog) {
        EXPECT_NE(op, "sndCrash.play");
    }
}

TEST(Die, SavesOnlyAScoreThatBeatsTheHighScore) {
    TestGame g;
    g.form.lblHighScore().Caption = "500";
    g.form.lblScore().Caption = "500";
    g.form.Die();
    EXPECT_EQ(readFile(g.highScoreFile()), ""); // equal is not beaten

    g.form.mnuNew_Click();
    g.form.lblScore().Caption = "501";
    g.form.Die();
    EXPECT_EQ(g.form.lblHighScore().Caption, "501");
    EXPECT_EQ(readFile(g.highScoreFile()), "\"501\"\r\n");

    g.form.mnuNew_Click();
    EXPECT_EQ(g.form.lblHighScore().Caption, "501");
}

TEST(Die, AnUnwritableFolderKeepsTheNewHighScoreOnTheLabel) {
    TestGame g;
    g.form.appPath = g.dir.path() / "gone";
    g.form.lblScore().Caption = "77";
    g.form.Die();
    EXPECT_EQ(g.form.lblHighScore().Caption, "77");
    EXPECT_TRUE(g.form.GameOver);
}

TEST(Exit, SavesABeatenScoreAndEndsWithoutShowingTheWreck) {
    TestGame g;
    g.form.lblScore().Caption = "1234";
    g.form.mnuExit_Click();
    EXPECT_TRUE(g.host.ended);
    EXPECT_EQ(readFile(g.highScoreFile()), "\"1234\"\r\n");
    EXPECT_FALSE(g.form.imgWreck().Visible);
    EXPECT_FALSE(g.form.imgCracked().Visible);
    EXPECT_FALSE(g.form.GameOver);
}

TEST(Exit, AnUnbeatenScoreLeavesTheFileAlone) {
    TestGame g;
    std::ofstream(g.highScoreFile()) << "\"9000\"\r\n";
    g.form.mnuNew_Click();
    g.form.lblScore().Caption = "10";
    g.form.mnuExit_Click();
    EXPECT_TRUE(g.host.ended);
    EXPECT_EQ(readFile(g.highScoreFile()), "\"9000\"\r\n");
}

TEST(Exit, ClosingTheWindowActsAsExit) {
    TestGame g;
    g.form.Form_Unload();
    EXPECT_TRUE(g.host.ended);
    EXPECT_EQ(g.sndMusic.mode(), kModeStopped);
}

TEST(NewGame, AfterACrashStartsOverUnpausedWithTheDashboardWhole) {
    TestGame g;
    g.form.Die();
    g.form.Form_KeyDown(13);
    EXPECT_FALSE(g.form.GameOver);
    EXPECT_TRUE(g.form.tmrMain.Enabled);
    EXPECT_TRUE(g.form.mnuPause.Enabled);
    EXPECT_TRUE(g.form.imgDash().Visible);
    EXPECT_FALSE(g.form.imgCracked().Visible);
    EXPECT_TRUE(g.form.linSpeed.Visible);
    EXPECT_FALSE(g.form.imgWreck().Visible);
    EXPECT_EQ(g.form.picCar().Left, 386.0f);
}

TEST(HighScoresMenu, ReleasesTheKeysAndHidesTheWreck) {
    TestGame g;
    g.form.Form_KeyDown(38);
    g.form.Form_KeyDown(37);
    g.form.Die();
    g.form.mnuHighScores_Click();
    EXPECT_EQ(g.form.UpHeld, 0);
    EXPECT_EQ(g.form.LeftHeld, 0);
    EXPECT_FALSE(g.form.imgWreck().Visible);
}

} // namespace
} // namespace kestrada
