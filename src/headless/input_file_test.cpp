// SPDX-License-Identifier: GPL-3.0-or-later
#include "headless/input_file.h"

#include <gtest/gtest.h>
#include <string>

namespace kestrada::headless {
namespace {

// Every key, menu item and action, read in file order; leading zeros only pad.
TEST(InputFile, ReadsEveryKeyMenuItemAndActionInFileOrder) {
    const InputParse parse = parseInput(
        "1 down Up\n1 down Left\n3 up Up\n3 down Enter\n4 down Esc\n4 down Space\n"
        "5 down Right\n5 down Down\n6 down 1\n6 down 2\n7 down code:0\n7 up code:0065\n"
        "007 down code:255\n8 music-ended\n9 menu mnuNew\n9 menu mnuPause\n9 menu mnuExit\n"
        "9 menu mnuMusic\n9 menu mnuEffects\n9 menu mnuHowToPlay\n9 menu mnuAbout\n"
        "9 menu mnuHighScores\n9 menu cmdNewGame\n4294967295 down Up\n");
    ASSERT_TRUE(parse.ok()) << parse.message();
    std::string read;
    for (const InputEvent& e : parse.events) {
        read += std::to_string(e.slot) + "DUMX"[int(e.action)] +
                std::to_string(e.action == InputAction::Menu ? int(e.command) : e.keyCode) + " ";
    }
    EXPECT_EQ(read, "1D38 1D37 3U38 3D13 4D27 4D32 5D39 5D40 6D49 6D50 7D0 7U65 7D255 8X0 9M0 9M1 "
                    "9M2 9M3 9M4 9M5 9M6 9M7 9M8 4294967295D38 ");
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
        {"# note\r\r\n", "input:1: carriage return inside the line"},
        {"1\n", "input:1: missing action"},
        {"1 down\n", "input:1: missing key"},
        {"1 menu\n", "input:1: missing menu item"},
        {"1 down Up Up\n", "input:1: too many fields"},
        {"1 press Up\n", "input:1: unknown action \"press\""},
        {"1 down up\n", "input:1: unknown key \"up\""},
        {"1 menu mnuQuit\n", "input:1: unknown menu item \"mnuQuit\""},
        {"1 down code:256\n", "input:1: key code out of range 0 to 255"},
        {"1 down code:99999999999999999999999\n", "input:1: key code out of range 0 to 255"},
        {"1 down code:\n", "input:1: key code is not a whole number"},
        {"1 down code:0x41\n", "input:1: key code is not a whole number"},
        {"x down Up\n", "input:1: slot \"x\" is not a whole number"},
        {"0 down Up\n", "input:1: slot must be at least 1"},
        {"4294967296 down Up\n", "input:1: slot number too large (at most 4294967295)"},
        {"5 down Up\n5 up Up\n# gap\n4 up Up\n", "input:4: slot 4 comes after slot 5"},
        {"1 down Up\xC3\xA9\n", "input:1: unexpected character"},
        {"# caf\xC3\n", "input:1: not valid UTF-8"},
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
