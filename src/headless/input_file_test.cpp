#include "headless/input_file.h"

#include <gtest/gtest.h>
#include <string>

namespace kestrada::headless {
namespace {

InputEvent event(uint32_t slot, InputAction action, int16_t code = 0,
                 MenuCommand command = MenuCommand::mnuNew) {
    return InputEvent{slot, action, code, command};
}

TEST(InputFile, ReadsEveryKeyMenuItemAndActionInFileOrder) {
    using enum InputAction;
    using enum MenuCommand;
    const std::pair<const char*, InputEvent> lines[] = {
        {"1 down Up", event(1, KeyDown, 38)},
        {"1 down Left", event(1, KeyDown, 37)},
        {"3 up Up", event(3, KeyUp, 38)},
        {"3 down Enter", event(3, KeyDown, 13)},
        {"4 down Esc", event(4, KeyDown, 27)},
        {"4 down Space", event(4, KeyDown, 32)},
        {"5 down Right", event(5, KeyDown, 39)},
        {"5 down Down", event(5, KeyDown, 40)},
        {"6 down 1", event(6, KeyDown, 49)},
        {"6 down 2", event(6, KeyDown, 50)},
        {"7 down code:0", event(7, KeyDown, 0)},
        {"7 up code:0065", event(7, KeyUp, 65)},
        {"007 down code:255", event(7, KeyDown, 255)}, // leading zeros only pad
        {"8 music-ended", event(8, MusicEnded)},
        {"9 menu mnuNew", event(9, Menu, 0, mnuNew)},
        {"9 menu mnuPause", event(9, Menu, 0, mnuPause)},
        {"9 menu mnuExit", event(9, Menu, 0, mnuExit)},
        {"9 menu mnuMusic", event(9, Menu, 0, mnuMusic)},
        {"9 menu mnuEffects", event(9, Menu, 0, mnuEffects)},
        {"9 menu mnuHowToPlay", event(9, Menu, 0, mnuHowToPlay)},
        {"9 menu mnuAbout", event(9, Menu, 0, mnuAbout)},
        {"9 menu mnuHighScores", event(9, Menu, 0, mnuHighScores)},
        {"9 menu cmdNewGame", event(9, Menu, 0, cmdNewGame)},
        {"4294967295 down Up", event(4294967295u, KeyDown, 38)},
    };
    std::string text;
    std::vector<InputEvent> expected;
    for (const auto& [line, parsed] : lines) {
        text += std::string(line) + "\n";
        expected.push_back(parsed);
    }
    const InputParse parse = parseInput(text);
    ASSERT_TRUE(parse.ok()) << parse.message();
    EXPECT_EQ(parse.events, expected);
}

// A bad file yields no events at all, and the message names the line,
// counting comments and blank lines, and its first fault.
TEST(InputFile, NamesTheFaultOfTheFirstBadLine) {
    const std::pair<std::string, std::string> cases[] = {
        {"# a drive\n\n2 down Left\n\n2 down Nope\n", "input:5: unknown key \"Nope\""},
        {"\xEF\xBB\xBF# a byte-order mark\n1 down Nope\n", "input:2: unknown key \"Nope\""},
        {"1 down Up \n", "input:1: trailing space"},
        {" 1 down Up\n", "input:1: leading space"},
        {"1  down Up\n", "input:1: more than one space between fields"},
        {"1\tdown Up\n", "input:1: tab character"},
        {"1 down Up\r\r\n", "input:1: carriage return inside the line"},
        {"1 down Up\r", "input:1: carriage return inside the line"},
        {"# note\r\r\n", "input:1: carriage return inside the line"},
        {"  \n", "input:1: leading space"},
        {"1\n", "input:1: missing action"},
        {"1 down\n", "input:1: missing key"},
        {"1 menu\n", "input:1: missing menu item"},
        {"1 down Up Up\n", "input:1: too many fields"},
        {"1 music-ended now\n", "input:1: too many fields"},
        {"1 press Up\n", "input:1: unknown action \"press\""},
        {"1 down up\n", "input:1: unknown key \"up\""},
        {"1 down " + std::string(200, 'k') + "\n",
         "input:1: unknown key \"" + std::string(32, 'k') + "...\""},
        {"1 menu mnuQuit\n", "input:1: unknown menu item \"mnuQuit\""},
        {"1 down code:256\n", "input:1: key code out of range 0 to 255"},
        {"1 down code:99999999999999999999999\n", "input:1: key code out of range 0 to 255"},
        {"1 down code:\n", "input:1: key code is not a whole number"},
        {"1 down code:0x41\n", "input:1: key code is not a whole number"},
        {"1 down Code:65\n", "input:1: unknown key \"Code:65\""},
        {"x down Up\n", "input:1: slot \"x\" is not a whole number"},
        {"-1 down Up\n", "input:1: slot \"-1\" is not a whole number"},
        {"0 down Up\n", "input:1: slot must be at least 1"},
        {"4294967296 down Up\n", "input:1: slot number too large (at most 4294967295)"},
        {"99999999999999999999999999 down Up\n",
         "input:1: slot number too large (at most 4294967295)"},
        {"5 down Up\n5 up Up\n# gap\n4 up Up\n", "input:4: slot 4 comes after slot 5"},
        {"1 down Up\xC3\xA9\n", "input:1: unexpected character"},
        {"# caf\xC3\n", "input:1: not valid UTF-8"},
        {"# \xC0\xAF overlong\n", "input:1: not valid UTF-8"},
        {"# \xED\xA0\x80 surrogate\n", "input:1: not valid UTF-8"},
        {"1 down Up\n" + std::string(kMaxInputLineLength + 1, '#') + "\n",
         "input:2: line longer than 4096 bytes"},
    };
    for (const auto& [text, message] : cases) {
        const InputParse parse = parseInput(text);
        EXPECT_EQ(parse.message(), message) << "file: " << text.substr(0, 60);
        EXPECT_TRUE(parse.events.empty()) << "file: " << text.substr(0, 60);
    }
}

} // namespace
} // namespace kestrada::headless
