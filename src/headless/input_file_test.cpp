#include "headless/input_file.h"

#include <gtest/gtest.h>
#include <sstream>
#include <string>

namespace kestrada::headless {
namespace {

InputEvent key(uint32_t slot, InputAction action, int16_t code) {
    InputEvent e;
    e.slot = slot;
    e.action = action;
    e.keyCode = code;
    return e;
}

InputEvent menu(uint32_t slot, MenuCommand command) {
    InputEvent e;
    e.slot = slot;
    e.action = InputAction::Menu;
    e.command = command;
    return e;
}

// The message for a one-line file, or "" when it parses.
std::string errorOf(const std::string& text) {
    const InputParse parse = parseInput(text);
    return parse.ok() ? "" : parse.message();
}

TEST(InputFile, ReadsEveryActionInFileOrder) {
    const InputParse parse = parseInput("1 down Up\n"
                                        "1 down Left\n"
                                        "3 up Up\n"
                                        "3 down Enter\n"
                                        "4 down Esc\n"
                                        "4 down Space\n"
                                        "5 down Right\n"
                                        "5 down Down\n"
                                        "6 down 1\n"
                                        "6 down 2\n"
                                        "7 down code:65\n"
                                        "8 music-ended\n"
                                        "9 menu mnuExit\n");
    ASSERT_TRUE(parse.ok()) << parse.message();
    const std::vector<InputEvent> expected = {
        key(1, InputAction::KeyDown, 38), key(1, InputAction::KeyDown, 37),
        key(3, InputAction::KeyUp, 38),   key(3, InputAction::KeyDown, 13),
        key(4, InputAction::KeyDown, 27), key(4, InputAction::KeyDown, 32),
        key(5, InputAction::KeyDown, 39), key(5, InputAction::KeyDown, 40),
        key(6, InputAction::KeyDown, 49), key(6, InputAction::KeyDown, 50),
        key(7, InputAction::KeyDown, 65), InputEvent{8, InputAction::MusicEnded, 0, {}},
        menu(9, MenuCommand::mnuExit)};
    EXPECT_EQ(parse.events, expected);
}

TEST(InputFile, ReadsEveryMenuItem) {
    const InputParse parse = parseInput("1 menu mnuNew\n1 menu mnuPause\n1 menu mnuExit\n"
                                        "1 menu mnuMusic\n1 menu mnuEffects\n"
                                        "1 menu mnuHowToPlay\n1 menu mnuAbout\n"
                                        "1 menu mnuHighScores\n1 menu cmdNewGame\n");
    ASSERT_TRUE(parse.ok()) << parse.message();
    const std::vector<InputEvent> expected = {
        menu(1, MenuCommand::mnuNew),     menu(1, MenuCommand::mnuPause),
        menu(1, MenuCommand::mnuExit),    menu(1, MenuCommand::mnuMusic),
        menu(1, MenuCommand::mnuEffects), menu(1, MenuCommand::mnuHowToPlay),
        menu(1, MenuCommand::mnuAbout),   menu(1, MenuCommand::mnuHighScores),
        menu(1, MenuCommand::cmdNewGame)};
    EXPECT_EQ(parse.events, expected);
}

TEST(InputFile, SkipsCommentsAndBlankLinesButCountsThem) {
    const InputParse parse = parseInput("# a drive to the left\n"
                                        "\n"
                                        "#\n"
                                        "2 down Left\n"
                                        "\n"
                                        "2 down Nope\n");
    EXPECT_EQ(parse.message(), "input:6: unknown key \"Nope\"");
    EXPECT_TRUE(parse.events.empty()) << "a bad file yields no events at all";

    const InputParse good = parseInput("# only comments\n\n# é ü 漢\n");
    EXPECT_TRUE(good.ok());
    EXPECT_TRUE(good.events.empty());
    EXPECT_TRUE(parseInput("").ok());
}

TEST(InputFile, AcceptsCrlfLineEndsAByteOrderMarkAndAMissingFinalLineEnd) {
    const InputParse parse = parseInput("\xEF\xBB\xBF# made on another system\r\n"
                                        "1 down Up\r\n"
                                        "\r\n"
                                        "2 up Up");
    ASSERT_TRUE(parse.ok()) << parse.message();
    const std::vector<InputEvent> expected = {key(1, InputAction::KeyDown, 38),
                                              key(2, InputAction::KeyUp, 38)};
    EXPECT_EQ(parse.events, expected);
}

TEST(InputFile, NamesTheFaultOfEachMalformedLine) {
    const std::pair<const char*, const char*> cases[] = {
        {"1 down Up \n", "input:1: trailing space"},
        {" 1 down Up\n", "input:1: leading space"},
        {"1  down Up\n", "input:1: more than one space between fields"},
        {"1\tdown Up\n", "input:1: tab character"},
        {"1 down\tUp\n", "input:1: tab character"},
        {"1 down Up\r\r\n", "input:1: carriage return inside the line"},
        {"1 down\rUp\n", "input:1: carriage return inside the line"},
        {"1 down Up\r", "input:1: carriage return inside the line"},
        {"# note\r\r\n", "input:1: carriage return inside the line"},
        {"  \n", "input:1: leading space"},
        {"1\n", "input:1: missing action"},
        {"1 down\n", "input:1: missing key"},
        {"1 menu\n", "input:1: missing menu item"},
        {"1 down Up Up\n", "input:1: too many fields"},
        {"1 music-ended now\n", "input:1: too many fields"},
        {"1 press Up\n", "input:1: unknown action \"press\""},
        {"1 Down Up\n", "input:1: unknown action \"Down\""},
        {"1 down up\n", "input:1: unknown key \"up\""},
        {"1 down F1\n", "input:1: unknown key \"F1\""},
        {"1 menu mnuQuit\n", "input:1: unknown menu item \"mnuQuit\""},
        {"1 menu mnuexit\n", "input:1: unknown menu item \"mnuexit\""},
        {"x down Up\n", "input:1: slot \"x\" is not a whole number"},
        {"+1 down Up\n", "input:1: slot \"+1\" is not a whole number"},
        {"-1 down Up\n", "input:1: slot \"-1\" is not a whole number"},
        {"1.5 down Up\n", "input:1: slot \"1.5\" is not a whole number"},
        {"0 down Up\n", "input:1: slot must be at least 1"},
        {"1 down Up\xC3\xA9\n", "input:1: unexpected character"},
        {"1 down Up\x01\n", "input:1: unexpected character"},
        {"# caf\xC3\n", "input:1: not valid UTF-8"},
        {"# \xC0\xAF overlong\n", "input:1: not valid UTF-8"},
        {"# \xED\xA0\x80 surrogate\n", "input:1: not valid UTF-8"},
    };
    for (const auto& [text, message] : cases) {
        EXPECT_EQ(errorOf(text), message) << "line: " << text;
    }
}

TEST(InputFile, EchoesOnlyAShortPieceOfALongBadField) {
    const std::string longName(200, 'k');
    EXPECT_EQ(errorOf("1 down " + longName + "\n"),
              "input:1: unknown key \"" + std::string(32, 'k') + "...\"");
}

TEST(InputFile, KeyCodesRunFrom0To255) {
    const InputParse parse = parseInput("1 down code:0\n1 down code:255\n1 up code:0065\n");
    ASSERT_TRUE(parse.ok()) << parse.message();
    ASSERT_EQ(parse.events.size(), 3u);
    EXPECT_EQ(parse.events[0].keyCode, 0);
    EXPECT_EQ(parse.events[1].keyCode, 255);
    EXPECT_EQ(parse.events[2].keyCode, 65);
    EXPECT_EQ(parse.events[2].action, InputAction::KeyUp);

    EXPECT_EQ(errorOf("1 down code:256\n"), "input:1: key code out of range 0 to 255");
    EXPECT_EQ(errorOf("1 down code:99999999999999999999999\n"),
              "input:1: key code out of range 0 to 255");
    EXPECT_EQ(errorOf("1 down code:\n"), "input:1: key code is not a whole number");
    EXPECT_EQ(errorOf("1 down code:-1\n"), "input:1: key code is not a whole number");
    EXPECT_EQ(errorOf("1 down code:0x41\n"), "input:1: key code is not a whole number");
    EXPECT_EQ(errorOf("1 down Code:65\n"), "input:1: unknown key \"Code:65\"");
}

TEST(InputFile, SlotsMayRepeatButNeverGoBack) {
    const InputParse parse = parseInput("5 down Up\n5 up Up\n007 down Left\n");
    ASSERT_TRUE(parse.ok()) << parse.message();
    EXPECT_EQ(parse.events[2].slot, 7u) << "leading zeros are only padding";

    EXPECT_EQ(errorOf("5 down Up\n# gap\n4 up Up\n"), "input:3: slot 4 comes after slot 5");
}

TEST(InputFile, SlotNumbersStopAtTheLargest32BitValue) {
    const InputParse parse = parseInput("4294967295 down Up\n");
    ASSERT_TRUE(parse.ok()) << parse.message();
    EXPECT_EQ(parse.events[0].slot, 4294967295u);
    EXPECT_EQ(errorOf("4294967296 down Up\n"),
              "input:1: slot number too large (at most 4294967295)");
    EXPECT_EQ(errorOf("99999999999999999999999999 down Up\n"),
              "input:1: slot number too large (at most 4294967295)");
}

TEST(InputFile, RefusesAHugeLineWithoutReadingItWhole) {
    const std::string longest(kMaxInputLineLength - 8, '#');
    EXPECT_TRUE(parseInput("1 down Up\n" + longest + "\r\n").ok());

    // A stream that never ends: the reader must give up after one bound.
    class Endless : public std::streambuf {
      protected:
        int_type underflow() override {
            static char x = 'x';
            setg(&x, &x, &x + 1);
            return 'x';
        }
    } endless;
    std::istream in(&endless);
    const InputParse parse = parseInput(in);
    EXPECT_EQ(parse.message(), "input:1: line longer than 4096 bytes");

    EXPECT_EQ(errorOf("1 down Up\n" + std::string(kMaxInputLineLength + 1, '#') + "\n"),
              "input:2: line longer than 4096 bytes");
}

} // namespace
} // namespace kestrada::headless
