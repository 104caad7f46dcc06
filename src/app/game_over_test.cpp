// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/key_codes.h"
#include "testing/test_game.h"

#include <gtest/gtest.h>

namespace kestrada {
namespace {

using testing::fileText;
using testing::TestGame;
using testing::writeFile;

// A crash saves a beaten score and shows the wreck; Exit and closing the
// window save it too but end the program instead.
TEST(HighScore, OnlyAScoreThatBeatsTheBestIsSavedAsOneQuotedLine) {
    struct Case {
        void (Form::*end)();
        std::string fileBefore, score, fileAfter, best;
    };
    const Case cases[] = {
        {&Form::Die, "500\r\n", "500", "500\r\n", "500"}, // equal is not beaten
        {&Form::Die, "\"100\"\r\nold junk that must go\r\n", "501", "\"501\"\r\n", "501"},
        {&Form::mnuExit_Click, "", "1234", "\"1234\"\r\n", "1234"},
        {&Form::mnuExit_Click, "\"9000\"\r\n", "10", "\"9000\"\r\n", "9000"},
        {&Form::Form_Unload, "", "77", "\"77\"\r\n", "77"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.score + " after " + c.fileBefore);
        TestGame g(1, false);
        writeFile(g.highScoreFile(), c.fileBefore);
        g.form.Form_Load();
        g.form.lblScore().Caption = c.score;
        (g.form.*c.end)();
        EXPECT_EQ(fileText(g.highScoreFile()), c.fileAfter);
        EXPECT_EQ(g.form.lblHighScore().Caption, c.best);
        const bool exited = c.end != &Form::Die;
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
