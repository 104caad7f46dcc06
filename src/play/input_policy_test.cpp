// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/key_codes.h"
#include "play/input_policy.h"

#include <gtest/gtest.h>
#include <optional>
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
        std::optional<PadButton> button = std::nullopt; // else the axis
        PadAxis axis = PadAxis::StickX;
        int value = 0; // 16-bit travel, or 1 and 0 for a button
        bool gameOver = false;
        Lines expected;
    };
    using enum PadButton;
    using enum PadAxis;
    const Move moves[] = {
        {.axis = StickX, .value = -16384, .expected = {}},
        {.axis = StickX, .value = -16385, .expected = {"1 down Left"}},
        {.axis = StickX, .value = -10923, .expected = {}},
        {.axis = StickX, .value = -10922, .expected = {"1 up Left"}},
        {.axis = StickY, .value = 16385, .expected = {"1 down Down"}},
        {.axis = StickY, .value = 0, .expected = {"1 up Down"}},
        {.axis = RightTrigger, .value = 32767, .expected = {"1 down Up"}},
        {.button = PadUp, .value = 1, .expected = {}},
        {.axis = RightTrigger, .value = 0, .expected = {}},
        {.button = PadUp, .value = 0, .expected = {"1 up Up"}},
        {.axis = LeftTrigger, .value = 16385, .expected = {"1 down Down"}},
        {.axis = LeftTrigger, .value = 10922, .expected = {"1 up Down"}},
        {.button = South, .value = 1, .expected = {"1 down Space"}},
        {.button = South, .value = 0, .expected = {"1 up Space"}},
        {.button = West, .value = 1, .expected = {"1 down 1"}},
        {.button = North, .value = 1, .expected = {"1 down 2"}},
        {.button = Start, .value = 1, .gameOver = true, .expected = {"1 down Enter"}},
        {.button = Start, .value = 0, .expected = {"1 up Enter"}},
        {.button = Start, .value = 1, .expected = {"1 down Esc"}},
    };
    // Where the browsers' standard layout has the same buttons and axes.
    constexpr std::size_t kStandardButton[] = {0, 2, 3, 9, 14, 12, 15, 13};
    constexpr std::size_t kStandardAxis[] = {0, 1, 6, 7};
    Sent window;
    Sent page;
    std::vector<int> pressed(17);
    std::vector<double> values(17);
    std::vector<double> axes(4);
    for (const Move& move : moves) {
        if (move.button) {
            window.policy.padButton(3, *move.button, move.value != 0, move.gameOver);
            pressed[kStandardButton[static_cast<std::size_t>(*move.button)]] = move.value;
        } else {
            window.policy.padAxis(3, move.axis, deflectionOf16Bit(move.value));
            const std::size_t index = kStandardAxis[static_cast<std::size_t>(move.axis)];
            (index < 2 ? axes : values)[index] = move.value / 32768.0;
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
