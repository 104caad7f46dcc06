// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/high_score_file.h"
#include "testing/test_game.h"

#include <gtest/gtest.h>

namespace kestrada {
namespace {

// What the dashboard shows for whatever lies in the file: the numeric start of
// its first value, or the label as it was when there is nothing to read.
TEST(HighScoreFile, FormLoadShowsWhatTheFileHoldsOrKeepsTheLabel) {
    struct Case {
        std::optional<std::string> bytes;
        std::string shown;
        const char* value = nullptr; // the first value as the form keeps it
    };
    const Case cases[] = {
        {"\"5000\"\r\n", "5000", "5000"},
        {"  \"12\"34", "12", "12"},
        {"\"77", "77", "77"}, // unterminated quote
        {"12.5kg", "12.5"},
        {"42,17\r\n", "42", "42"},
        {"6  \r\n7", "6", "6"},
        {"\"-5\"", "-5"},
        {"7e", "7"},
        {"1e308", "1E+308"},
        {"1e999", "0"}, // out of range reads as nothing
        {"\r\n\"9\"", "0", ""},
        {std::string("\x00\xff\xfe\x01", 4), "0"},
        {std::string(3'000'000, '7'), "0"}, // no line end anywhere: read is bounded
        {"   ", "900"},
        {std::nullopt, "900"}, // created empty for the next save
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.bytes ? c.bytes->substr(0, 20) : "no file");
        testing::TestGame g(1, false);
        if (c.bytes) {
            testing::writeFile(g.highScoreFile(), *c.bytes);
        }
        g.form.lblHighScore().Caption = "900";
        g.form.Form_Load();
        EXPECT_EQ(g.form.lblHighScore().Caption, c.shown);
        EXPECT_TRUE(!c.value || g.form.HighScoreText == c.value) << g.form.HighScoreText;
        EXPECT_EQ(testing::fileText(g.highScoreFile()), c.bytes.value_or(""));
    }
}

} // namespace
} // namespace kestrada
