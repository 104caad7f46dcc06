// SPDX-License-Identifier: GPL-3.0-or-later
// What the headless program reads and writes: its arguments, input files
// and trace records.
#include "app/help_texts.h"
#include "app/key_codes.h"
#include "headless/command_line.h"
#include "session/input_file.h"
#include "session/menu_commands.h"
#include "session/number_format.h"
#include "session/trace_writer.h"
#include "testing/json_field.h"
#include "testing/test_game.h"

#include <gtest/gtest.h>
#include <limits>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

namespace kestrada::session {
// A failed comparison shows events as the lines of an input file.
void PrintTo(const InputEvent& event, std::ostream* out) {
    *out << inputLine(event);
}
} // namespace kestrada::session

namespace kestrada::headless {

using namespace session;
namespace {

using kestrada::testing::jsonField;
using kestrada::testing::TestGame;

TEST(CommandLine, NamesTheProblemWithBadArguments) {
    const std::pair<std::vector<std::string>, std::string> cases[] = {
        {{"--seed", "4294967296"}, "--seed: 4294967296 is out of range 0 to 4294967295"},
        {{"--slots", ""}, "--slots: \"\" is not a whole number"},
        {{"--seed"}, "--seed needs a value"},
        {{"--input", ""}, "--input needs a value"},
        {{"--seed=3"}, "unknown argument \"--seed=3\""},
        {{"--slots", "10", "--slots", "10"}, "--slots given more than once"},
    };
    for (const auto& [args, error] : cases) {
        EXPECT_EQ(parseCommandLine(args).error, error) << args.front();
    }
}

// Every key, menu item and action, read in file order; leading zeros only pad.
TEST(InputFile, ReadsEveryKeyMenuItemAndActionInFileOrder) {
    const InputParse parse = parseInput(
        "1 down Up\n1 down Left\n3 up Up\n3 down Enter\n4 down Esc\n4 down Space\n"
        "5 down Right\n5 down Down\n6 down 1\n6 down 2\n7 down code:0\n7 up code:0065\n"
        "007 down code:255\n8 music-ended\n9 menu mnuNew\n9 menu mnuPause\n9 menu mnuExit\n"
        "9 menu mnuMusic\n9 menu mnuEffects\n9 menu mnuHowToPlay\n9 menu mnuAbout\n"
        "9 menu mnuHighScores\n9 menu cmdNewGame\n4294967295 down Up\n");
    ASSERT_TRUE(parse.ok()) << parse.message();
    const InputAction down = InputAction::KeyDown;
    const InputAction up = InputAction::KeyUp;
    const InputAction menu = InputAction::Menu;
    const std::vector<InputEvent> wanted = {
        {1, down, kKeyUp},
        {1, down, kKeyLeft},
        {3, up, kKeyUp},
        {3, down, kKeyEnter},
        {4, down, kKeyEsc},
        {4, down, kKeySpace},
        {5, down, kKeyRight},
        {5, down, kKeyDown},
        {6, down, kKey1},
        {6, down, kKey2},
        {7, down, 0},
        {7, up, 65},
        {7, down, 255},
        {8, InputAction::MusicEnded},
        {9, menu, 0, MenuCommand::mnuNew},
        {9, menu, 0, MenuCommand::mnuPause},
        {9, menu, 0, MenuCommand::mnuExit},
        {9, menu, 0, MenuCommand::mnuMusic},
        {9, menu, 0, MenuCommand::mnuEffects},
        {9, menu, 0, MenuCommand::mnuHowToPlay},
        {9, menu, 0, MenuCommand::mnuAbout},
        {9, menu, 0, MenuCommand::mnuHighScores},
        {9, menu, 0, MenuCommand::cmdNewGame},
        {4294967295u, down, kKeyUp},
    };
    EXPECT_EQ(parse.events, wanted);
}

// Help > About and How to Play, through the menu-command table.
TEST(MenuCommands, HelpAndAboutShowTheirOwnDialogAndLeaveTheGamePaused) {
    const std::pair<MenuCommand, std::string> cases[] = {
        {MenuCommand::mnuAbout, kAboutTitle},
        {MenuCommand::mnuHowToPlay, "help"},
    };
    for (const auto& [command, dialog] : cases) {
        TestGame g;
        session::run(g.form, command);
        EXPECT_EQ(g.host.dialog, dialog);
        EXPECT_TRUE(g.form.lblPaused().Visible) << dialog;
    }
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
        {"1 music-ended Up\n", "input:1: too many fields"},
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

TEST(TraceRecord, WritesTheGameAsItStandsInJson) {
    TestGame fresh;
    TestGame changed;
    Form& f = changed.form;
    f.mnuPause_Click();
    f.Score = 1234.5;
    f.Speed = 25;
    f.RandomRoll = 7;
    f.picCar().Left = 1.0f / 3.0f;
    f.lblScore().Caption = "say \"hi\"\\\r\n\t\x01\x1f\x7f é";
    std::string before;
    std::string after;
    appendRecord(before, fresh.form, 12, false, {});
    appendRecord(after, f, 3, true, {"sndStart.stop", "sndMusic.stop"});
    EXPECT_EQ(before.find('\n'), before.size() - 1);
    const struct {
        const char* key;
        std::string fresh;
        std::string changed;
    } cases[] = {
        {"slot", "12", "3"},
        {"tick", "false", "true"},
        {"Score", "0", "1234.5"},
        {"Speed", "0", "25"},
        {"MotorcycleSpeed", "0", "0"},
        {"RandomRoll", "0", "7"},
        {"OffRoad", "false", "false"},
        {"Paused", "false", "true"},
        {"lblScore", "\"0\"", "\"say \\\"hi\\\"\\\\\\r\\n\\t\\u0001\\u001f\x7f é\""},
        {"mnuPause", "[\"&Pause\",true]", "[\"Un&pause\",true]"},
        {"linSpeed", "[515,204,true]", "[515,204,true]"},
        {"picCar", "[386,360,false]", "[0.33333334,360,false]"},
        {"imgMarker1", "[237.504,-62,true]", "[237.504,-62,true]"},
        {"sound", "[]", "[\"sndStart.stop\",\"sndMusic.stop\"]"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(jsonField(before, c.key), c.fresh) << c.key;
        EXPECT_EQ(jsonField(after, c.key), c.changed) << c.key;
    }
    std::string numbers;
    appendFloat(numbers, std::numeric_limits<float>::infinity());
    appendDouble(numbers, std::numeric_limits<double>::quiet_NaN());
    appendDouble(numbers, 0.1 + 0.2);
    EXPECT_EQ(numbers, "nullnull0.30000000000000004");
}

} // namespace
} // namespace kestrada::headless
