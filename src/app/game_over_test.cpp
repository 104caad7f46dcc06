#include "app/key_codes.h"
#include "testing/test_game.h"

#include <gtest/gtest.h>

namespace kestrada {
namespace {

using testing::fileText;
using testing::TestGame;
using testing::writeFile;

// The median freezes as a still picture, the wreck replaces the car and the
// dashboard cracks until Enter starts over.
TEST(Die, FreezesThePlayFieldUntilEnterStartsOverWithTheDashboardWhole) {
    TestGame g;
    Form& f = g.form;
    f.picSplit().Visible = true;
    f.picSplit().Top = 100;
    f.picCar().Left = 250;
    f.Die();
    EXPECT_TRUE(f.GameOver && !f.tmrMain.Enabled && !f.linSpeed.Visible && !f.mnuPause.Enabled);
    EXPECT_TRUE(f.imgSplit().Visible && !f.picSplit().Visible);
    EXPECT_EQ(f.imgSplit().Top, 100.0f);
    EXPECT_EQ(f.drawOrder.front(), ControlId::imgWreck);
    EXPECT_TRUE(f.imgWreck().Visible && !f.imgCar().Visible && !f.picCar().Visible);
    EXPECT_EQ(f.imgWreck().Left, 250.0f);
    EXPECT_TRUE(f.imgCracked().Visible && !f.imgDash().Visible && !g.host.ended);
    f.Form_KeyDown(kKeyEnter);
    EXPECT_TRUE(!f.GameOver && f.imgDash().Visible && !f.imgCracked().Visible);
    EXPECT_TRUE(f.linSpeed.Visible && !f.imgWreck().Visible);
}

// A crash saves a beaten score and shows the wreck; Exit and closing the
// window save it too but end the program instead.
TEST(HighScore, OnlyAScoreThatBeatsTheBestIsSavedAsOneQuotedLine) {
    enum class End { Crash, Exit, Close };
    struct Case {
        End end;
        std::string fileBefore, score, fileAfter, best;
    };
    const Case cases[] = {
        {End::Crash, "500\r\n", "500", "500\r\n", "500"}, // equal is not beaten
        {End::Crash, "\"100\"\r\nold junk that must go\r\n", "501", "\"501\"\r\n", "501"},
        {End::Exit, "", "1234", "\"1234\"\r\n", "1234"},
        {End::Exit, "\"9000\"\r\n", "10", "\"9000\"\r\n", "9000"},
        {End::Close, "", "77", "\"77\"\r\n", "77"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.score + " after " + c.fileBefore);
        TestGame g(1, false);
        writeFile(g.highScoreFile(), c.fileBefore);
        g.form.Form_Load();
        g.form.lblScore().Caption = c.score;
        if (c.end == End::Crash) {
            g.form.Die();
        } else if (c.end == End::Exit) {
            g.form.mnuExit_Click();
        } else {
            g.form.Form_Unload();
        }
        EXPECT_EQ(fileText(g.highScoreFile()), c.fileAfter);
        EXPECT_EQ(g.form.lblHighScore().Caption, c.best);
        const bool exited = c.end != End::Crash;
        EXPECT_EQ(g.host.ended, exited);
        EXPECT_EQ(g.form.GameOver && g.form.imgWreck().Visible && g.form.imgCracked().Visible,
                  !exited);
        EXPECT_EQ(g.sndMusic.mode(), kModeStopped);
        // The next game reads back what was saved.
        g.form.mnuNew_Click();
        EXPECT_EQ(g.form.lblHighScore().Caption, c.best);
    }
}

} // namespace
} // namespace kestrada
