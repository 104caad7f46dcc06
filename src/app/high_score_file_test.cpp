#include "app/high_score_file.h"
#include "testing/test_game.h"

#include <gtest/gtest.h>

namespace kestrada {
namespace {

using testing::TestGame;

TEST(HighScoreText, FirstValueIsTheQuotedTextOrTheTextUpToACommaOrLineEnd) {
    EXPECT_EQ(firstValueOf("\"5000\"\r\n"), "5000");
    EXPECT_EQ(firstValueOf("  \"12\"garbage"), "12");
    EXPECT_EQ(firstValueOf("\"unterminated"), "unterminated");
    EXPECT_EQ(firstValueOf("42,17\r\n"), "42");
    EXPECT_EQ(firstValueOf("7  \r\nmore"), "7");
    EXPECT_EQ(firstValueOf("\r\n\"9\""), "");
    EXPECT_EQ(firstValueOf(""), std::nullopt);
    EXPECT_EQ(firstValueOf("   "), std::nullopt);
}

// What the player sees on the dashboard for whatever lies in the file: the
// numeric start of its first value, shown without needless digits, or the
// label as it was when there is nothing to read.
TEST(HighScoreFile, FormLoadShowsWhatTheFileHoldsOrKeepsTheLabel) {
    struct Case {
        std::optional<std::string> bytes;
        std::string shown;
    };
    const Case cases[] = {
        {"\"5000\"\r\n", "5000"},
        {"12.5kg", "12.5"},
        {"42,17\r\n", "42"},
        {"\"-5\"", "-5"},
        {"7e", "7"},
        {"1e308", "1E+308"},
        {"1e999", "0"}, // out of range reads as nothing
        {std::string(5000, '9') + ",", "0"},
        {"Kestrada\r\n", "0"},
        {"\r\n\"9\"", "0"},
        {std::string("\x00\xff\xfe\x01", 4), "0"},
        {std::string(3'000'000, '7'), "0"}, // no line end anywhere: read is bounded
        {"", "900"},
        {"   ", "900"},
        {std::nullopt, "900"}, // created empty for the next save
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.bytes ? c.bytes->substr(0, 20) : "no file");
        TestGame g(1, false);
        if (c.bytes) {
            testing::writeFile(g.highScoreFile(), *c.bytes);
        }
        g.form.lblHighScore().Caption = "900";
        g.form.Form_Load();
        EXPECT_EQ(g.form.lblHighScore().Caption, c.shown);
        EXPECT_TRUE(g.form.tmrMain.Enabled);
        EXPECT_TRUE(std::filesystem::is_regular_file(g.highScoreFile()));
        EXPECT_EQ(testing::fileText(g.highScoreFile()), c.bytes.value_or(""));
    }
}

} // namespace
} // namespace kestrada
