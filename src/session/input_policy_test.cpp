// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/key_codes.h"
#include "session/input_policy.h"

#include <gtest/gtest.h>
#include <map>
#include <string>
#include <vector>

namespace kestrada::session {
namespace {

// What a policy sent, as the lines of a recording.
struct Sent {
    std::vector<std::string> lines;
    InputPolicy policy{[this](const InputEvent& event) { lines.push_back(inputLine(event)); }};
    std::vector<std::string> take() { return std::exchange(lines, {}); }
};

using Lines = std::vector<std::string>;

// One controller moved the same way, read by the window (one 16-bit change
// at a time) and by the page (the whole standard layout every frame): both
// record the same, and the stick and trigger press only past half their
// travel and let go only below a third.
TEST(InputPolicy, TheWindowsAndThePagesReadingsOfAControllerRecordAlike) {
    struct Move {
        int button = -1; // standard layout index; else the axis: 0, 1 the stick,
        int axis = -1;   // 6, 7 the triggers, as PadAxis numbers them modulo 4
        int value = 0;   // 16-bit travel, or 1 and 0 for a button
        bool gameOver = false;
        Lines expected;
    };
    const Move moves[] = {
        {.axis = 0, .value = -16384, .expected = {}},
        {.axis = 0, .value = -16385, .expected = {"1 down Left"}},
        {.axis = 0, .value = -10923, .expected = {}},
        {.axis = 0, .value = -10922, .expected = {"1 up Left"}},
        {.axis = 1, .value = 16385, .expected = {"1 down Down"}},
        {.axis = 1, .value = 0, .expected = {"1 up Down"}},
        {.axis = 7, .value = 32767, .expected = {"1 down Up"}},
        {.button = 12, .value = 1, .expected = {}},
        {.axis = 7, .value = 0, .expected = {}},
        {.button = 12, .value = 0, .expected = {"1 up Up"}},
        {.axis = 6, .value = 16385, .expected = {"1 down Down"}},
        {.axis = 6, .value = 10922, .expected = {"1 up Down"}},
        {.button = 0, .value = 1, .expected = {"1 down Space"}},
        {.button = 0, .value = 0, .expected = {"1 up Space"}},
        {.button = 2, .value = 1, .expected = {"1 down 1"}},
        {.button = 3, .value = 1, .expected = {"1 down 2"}},
        {.button = 9, .value = 1, .gameOver = true, .expected = {"1 down Enter"}},
        {.button = 9, .value = 0, .expected = {"1 up Enter"}},
        {.button = 9, .value = 1, .expected = {"1 down Esc"}},
    };
    // The same buttons and axes as the window names them.
    const std::map<int, PadButton> windowButton = {{0, PadButton::South},
                                                   {2, PadButton::West},
                                                   {3, PadButton::North},
                                                   {9, PadButton::Start},
                                                   {12, PadButton::PadUp}};
    const PadAxis windowAxis[] = {PadAxis::StickX, PadAxis::StickY, PadAxis::LeftTrigger,
                                  PadAxis::RightTrigger};
    Sent window;
    Sent page;
    std::vector<int> pressed(17);
    std::vector<double> values(17);
    std::vector<double> axes(4);
    for (const Move& move : moves) {
        if (move.button >= 0) {
            window.policy.padButton(3, windowButton.at(move.button), move.value != 0,
                                    move.gameOver);
            pressed[static_cast<std::size_t>(move.button)] = move.value;
        } else {
            const auto axis = static_cast<std::size_t>(move.axis % 4);
            window.policy.padAxis(3, windowAxis[axis], deflectionOf16Bit(move.value));
            auto& travel = move.axis < 2 ? axes : values;
            travel[static_cast<std::size_t>(move.axis)] = move.value / 32768.0;
        }
        page.policy.padReading(0, standardLayoutReading(pressed, values, axes), move.gameOver);
        const Lines fromWindow = window.take();
        EXPECT_EQ(fromWindow, move.expected) << move.value;
        EXPECT_EQ(page.take(), fromWindow) << move.value;
    }
    // A key held by two hands goes up when both have let go, but every
    // press of it reaches the game: the controller, pulled out, lets go only
    // of what it held alone, and the keyboard of what it held on focus loss.
    page.policy.key(kKeyEsc, true);
    page.policy.touches({kKey1});
    page.policy.padGone(0);
    EXPECT_EQ(page.take(), (Lines{"1 down Esc", "1 down 1", "1 up 2"}));
    page.policy.releaseKeyboard();
    page.policy.touches({});
    EXPECT_EQ(page.take(), (Lines{"1 up Esc", "1 up 1"}));
}

} // namespace
} // namespace kestrada::session
