// SPDX-License-Identifier: GPL-3.0-or-later
// Every way a player's hands reach the game: the keyboard, game controllers
// and the page's touch controls all become the game's key-downs and
// key-ups here, so the window and the page play alike and record alike.
// Front ends only hand over what they read: keys, a controller's raw
// buttons and axes, the keys under the fingers.
#pragma once

#include "session/input_file.h"

#include <array>
#include <cstdint>
#include <functional>
#include <map>
#include <set>
#include <span>
#include <utility>
#include <vector>

namespace kestrada::session {

// A controller's buttons the game knows, by their place on the pad.
enum class PadButton : unsigned char {
    South,
    West,
    North,
    Start,
    PadLeft,
    PadUp,
    PadRight,
    PadDown,
};
inline constexpr std::size_t kPadButtonCount = 8;

// The left stick from -1 (left, up) to 1 (right, down); the triggers from
// 0 (at rest) to 1 (pulled).
enum class PadAxis : unsigned char { StickX, StickY, LeftTrigger, RightTrigger };
inline constexpr std::size_t kPadAxisCount = 4;

// A stick or trigger presses past half its travel and lets go below a
// third, so a thumb resting near the line never chatters.
inline constexpr double kAxisPressAt = 0.5;
inline constexpr double kAxisReleaseAt = 1.0 / 3.0;

// A 16-bit axis reading (-32768 to 32767) as a deflection.
double deflectionOf16Bit(int value);

// The whole of one controller at one moment.
struct PadReading {
    std::array<bool, kPadButtonCount> buttons{};
    std::array<double, kPadAxisCount> axes{};
};

// A controller of the browsers' standard layout as their Gamepad API reads
// it: each button pressed or not and its value (the triggers' travel is
// the value of buttons 6 and 7), and the axes (the left stick is 0 and 1).
PadReading standardLayoutReading(std::span<const int> pressed, std::span<const double> values,
                                 std::span<const double> axes);

class InputPolicy {
  public:
    // send receives the game's KeyDown and KeyUp events (slot left unset).
    explicit InputPolicy(std::function<void(const InputEvent&)> send);

    // A key of the keyboard; repeat: the keyboard repeats a held key. A
    // repeated press reaches the game again, as the keyboard meant it, but
    // for Esc and Enter: a held Esc would flicker the pause on and off. A
    // repeated release is no release.
    void key(int16_t code, bool down, bool repeat = false);
    // Everything the keyboard holds is let go: its releases will not come
    // (the window or the page lost the focus).
    void releaseKeyboard();

    // One controller, named by any number the front end keeps for it.
    // After a crash South and Start start a new game instead of firing and
    // pausing; a button lets go of the key it pressed, crash or not.
    void padButton(int pad, PadButton button, bool down, bool gameOver);
    void padAxis(int pad, PadAxis axis, double deflection);
    // Every button and axis of a controller at once, in that order.
    void padReading(int pad, const PadReading& reading, bool gameOver);
    // The controller went away: what only it held is let go.
    void padGone(int pad);
    // The controllers known now.
    std::vector<int> pads() const;
    // Behind another window a controller's presses do not reach the game
    // (its releases do, so no key sticks).
    void setPadsInFront(bool inFront) { padsInFront_ = inFront; }

    // The keys under all the fingers on the touch controls now; a finger
    // sliding from one control to the next lets go of the first.
    void touches(const std::set<int16_t>& held);

  private:
    enum class Source : unsigned char { Keyboard, Touch, Pad };
    // Who holds a key: a keyboard key, a finger's control, one control of
    // one controller.
    struct Holder {
        Source source;
        int pad;
        int control;
        auto operator<=>(const Holder&) const = default;
    };
    struct Pad {
        // Each way the pad can hold an arrow; the arrow is held while any is.
        std::array<std::array<bool, 4>, 3> arrows{}; // d-pad, stick, triggers
        std::array<bool, 4> sentArrows{};
        std::array<bool, kPadButtonCount> buttons{};
        std::array<double, kPadAxisCount> axes{};
        std::map<PadButton, int16_t> pressedKeys; // button -> key it sent
    };

    void press(const Holder& holder, int16_t code);
    void release(const Holder& holder, int16_t code);
    void releaseAll(Source source, int pad);
    void sendArrowChanges(int pad, Pad& state);
    void send(InputAction action, int16_t code);

    std::function<void(const InputEvent&)> send_;
    std::map<int16_t, std::set<Holder>> holders_;
    std::map<int, Pad> pads_;
    std::set<int16_t> touched_;
    bool padsInFront_ = true;
};

} // namespace kestrada::session
