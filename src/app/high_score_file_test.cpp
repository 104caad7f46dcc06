#include "app/high_score_file.h"
#include "testing/test_game.h"

#include <fstream>
#include <gtest/gtest.h>

namespace kestrada {
namespace {

using testing::ScratchDir;
using testing::TestGame;

void writeFile(const std::filesystem::path& p, const std::string& bytes) {
    std::ofstream(p, std::ios::binary) << bytes;
}

std::string readFile(const std::filesystem::path& p) {
    std::ifstream in(p, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

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

TEST(HighScoreText, LeadingNumberTakesOnlyTheNumericStart) {
    EXPECT_EQ(leadingNumber("1234"), 1234);
    EXPECT_EQ(leadingNumber("12.5kg"), 12.5);
    EXPECT_EQ(leadingNumber("-5"), -5);
    EXPECT_EQ(leadingNumber("1e308"), 1e308);
    EXPECT_EQ(leadingNumber("1e999"), 0); // out of range reads as nothing
    EXPECT_EQ(leadingNumber("NaN"), 0);
    EXPECT_EQ(leadingNumber("abc"), 0);
    EXPECT_EQ(leadingNumber(""), 0);
    EXPECT_EQ(leadingNumber("7e"), 7);
    EXPECT_EQ(leadingNumber(std::string(5000, '9')), 0); // overflows to infinity
}

TEST(HighScoreText, NumbersShowWithoutNeedlessDigits) {
    EXPECT_EQ(numberText(0), "0");
    EXPECT_EQ(numberText(5000), "5000");
    EXPECT_EQ(numberText(12.5), "12.5");
    EXPECT_EQ(numberText(-5), "-5");
    EXPECT_EQ(numberText(1e308), "1E+308");
}

TEST(HighScoreFile, WritesOneQuotedLineAndReplacesTheOld) {
    ScratchDir dir;
    const auto file = dir.path() / "Kestrada.txt";
    writeFile(file, "\"100\"\r\nold junk that must go\r\n");
    ASSERT_TRUE(writeHighScore(file, "250"));
    EXPECT_EQ(readFile(file), "\"250\"\r\n");
    EXPECT_FALSE(std::filesystem::exists(dir.path() / "Kestrada.txt.tmp"));
}

TEST(HighScoreFile, AFailedSaveLeavesNoPartialFile) {
    ScratchDir dir;
    EXPECT_FALSE(writeHighScore(dir.path() / "missing-folder" / "Kestrada.txt", "1"));
    const auto folderInTheWay = dir.path() / "Kestrada.txt";
    std::filesystem::create_directory(folderInTheWay);
    EXPECT_FALSE(writeHighScore(folderInTheWay, "1"));
    EXPECT_TRUE(std::filesystem::is_directory(folderInTheWay));
    EXPECT_FALSE(std::filesystem::exists(dir.path() / "Kestrada.txt.tmp"));
}

// What the player sees on the dashboard for whatever lies in the file.
TEST(HighScoreFile, FormLoadShowsWhatTheFileHoldsOrKeepsTheLabel) {
    struct Case {
        std::string bytes;
        std::string shown;
    };
    const Case cases[] = {
        {"\"5000\"\r\n", "5000"},
        {"\"12.5\"\r\n", "12.5"},
        {"Kestrada\r\n", "0"},
        {"\"-5\"", "-5"},
        {"1e308", "1E+308"},
        {"NaN", "0"},
        {"\"12\"garbage", "12"},
        {std::string("\x00\xff\xfe\x01", 4), "0"},
        {std::string(3'000'000, '7'), "0"}, // no line end anywhere: read is bounded
        {"", "0"},                          // empty: the label keeps "0"
    };
    for (const Case& c : cases) {
        TestGame g(1, false);
        writeFile(g.highScoreFile(), c.bytes);
        g.form.Form_Load();
        EXPECT_EQ(g.form.lblHighScore().Caption, c.shown) << c.bytes.substr(0, 20);
    }
}

TEST(HighScoreFile, FirstStartCreatesAnEmptyFile) {
    TestGame g;
    EXPECT_TRUE(std::filesystem::exists(g.highScoreFile()));
    EXPECT_EQ(readFile(g.highScoreFile()), "");
    EXPECT_EQ(g.form.lblHighScore().Caption, "0");
}

TEST(HighScoreFile, AnEmptyFileInANewGameKeepsTheLastHighScore) {
    TestGame g;
    g.form.lblHighScore().Caption = "900";
    g.form.mnuNew_Click();
    EXPECT_EQ(g.form.lblHighScore().Caption, "900");
}

TEST(HighScoreFile, AMissingDataFolderLeavesTheGameRunning) {
    TestGame g(1, false);
    g.form.appPath = g.dir.path() / "nowhere";
    g.form.Form_Load();
    EXPECT_EQ(g.form.lblHighScore().Caption, "0");
    EXPECT_TRUE(g.form.tmrMain.Enabled);
}

} // namespace
} // namespace kestrada
