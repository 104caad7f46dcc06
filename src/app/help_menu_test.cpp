#include "app/help_texts.h"
#include "app/key_codes.h"
#include "testing/test_game.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace kestrada {
namespace {

using testing::TestGame;

std::vector<std::string> split(const std::string& text, const std::string& separator) {
    std::vector<std::string> parts;
    std::size_t from = 0;
    for (std::size_t at; (at = text.find(separator, from)) != std::string::npos;
         from = at + separator.size()) {
        parts.push_back(text.substr(from, at - from));
    }
    parts.push_back(text.substr(from));
    return parts;
}

bool paused(const Form& f) {
    return f.lblPaused().Visible && !f.tmrMain.Enabled && f.mnuPause.Caption == "Un&pause";
}

TEST(HelpMenu, HowToPlayPausesOnceAndLeavesTheGamePaused) {
    TestGame g;
    Form& f = g.form;
    g.ticks(3);
    f.mnuHowToPlay_Click();
    EXPECT_EQ(g.host.helpShown, 1);
    EXPECT_TRUE(paused(f));
    // A second visit must not toggle the pause back off.
    f.mnuHowToPlay_Click();
    EXPECT_EQ(g.host.helpShown, 2);
    EXPECT_TRUE(paused(f));
}

TEST(HelpMenu, AboutPausesOnceAndLeavesTheGamePaused) {
    TestGame g;
    Form& f = g.form;
    f.mnuAbout_Click();
    EXPECT_EQ(g.host.messagesShown, 1);
    EXPECT_EQ(g.host.messageTitle, "About Kestrada...");
    EXPECT_TRUE(paused(f));
    f.mnuAbout_Click();
    EXPECT_EQ(g.host.messagesShown, 2);
    EXPECT_TRUE(paused(f));
}

TEST(HelpMenu, OpeningWhilePausedByEscKeepsThePause) {
    TestGame g;
    Form& f = g.form;
    f.Form_KeyDown(kKeyEsc);
    f.mnuHowToPlay_Click();
    f.mnuAbout_Click();
    EXPECT_TRUE(paused(f));
    // The player resumes with Esc as usual.
    f.Form_KeyDown(kKeyEsc);
    EXPECT_FALSE(f.lblPaused().Visible);
    EXPECT_TRUE(f.tmrMain.Enabled);
}

TEST(HelpMenu, AfterACrashBothOpenOverTheFrozenField) {
    TestGame g;
    Form& f = g.form;
    g.ticks(2);
    f.Die();
    const Form frozen = f;
    f.mnuHowToPlay_Click();
    f.mnuAbout_Click();
    EXPECT_EQ(g.host.helpShown, 1);
    EXPECT_EQ(g.host.messagesShown, 1);
    EXPECT_TRUE(f == frozen);
    EXPECT_FALSE(f.lblPaused().Visible);
}

TEST(HelpTexts, AboutTellsTheHistoryInSixLines) {
    TestGame g;
    g.form.mnuAbout_Click();
    const auto lines = split(g.host.messageText, "\r\n");
    ASSERT_EQ(lines.size(), 6u);
    for (const std::string& line : lines) {
        EXPECT_FALSE(line.empty());
    }
    for (const char* year : {"1999", "2011", "2012"}) {
        EXPECT_NE(g.host.messageText.find(year), std::string::npos) << year;
    }
}

TEST(HelpTexts, InstructionsAreThreeParagraphsEndingWithTheKeys) {
    EXPECT_EQ(std::string(kHelpCaption), " How to Play Kestrada...");
    const std::string text = helpInstructions();
    const auto paragraphs = split(text, "\r\n\r\n");
    ASSERT_EQ(paragraphs.size(), 3u);
    for (const std::string& p : paragraphs) {
        EXPECT_FALSE(p.empty());
        EXPECT_EQ(p.find('\n'), std::string::npos);
        EXPECT_EQ(p.find('\r'), std::string::npos);
        // Sentences are set apart by two spaces.
        for (std::size_t at = p.find(". "); at != std::string::npos; at = p.find(". ", at + 1)) {
            EXPECT_EQ(p.compare(at, 3, ".  "), 0) << p.substr(at, 20);
        }
    }
    EXPECT_NE(paragraphs[2].find("\"1\" and \"2\""), std::string::npos);
    const std::string ending = "ENTER starts a new game; ESC pauses.";
    ASSERT_GE(text.size(), ending.size());
    EXPECT_EQ(text.substr(text.size() - ending.size()), ending);
}

} // namespace
} // namespace kestrada
