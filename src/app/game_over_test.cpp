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
