// SPDX-License-Identifier: GPL-3.0-or-later
#include "play/input_policy.h"

#include "app/key_codes.h"

#include <optional>
#include <utility>

namespace kestrada::session {

namespace {
// Arrows in a fixed order, so each controller can say which it holds.
constexpr std::array<int16_t, 4> kArrows{kKeyLeft, kKeyUp, kKeyRight, kKeyDown};
enum Arrow : std::size_t { kLeft, kUp, kRight, kDown };
enum ArrowSource : std::size_t { kDPad, kStick, kTriggers };
// A pad's arrows hold keys as controls of their own, after its buttons.
constexpr int kArrowControl = 100;

void holdWithHysteresis(bool& held, double deflection) {
    if (!held && deflection > kAxisPressAt) {
        held = true;
    } else if (held && deflection < kAxisReleaseAt) {
        held = false;
    }
}

std::optional<Arrow> arrowOf(PadButton button) {
    switch (button) {
    case PadButton::PadLeft:
        return kLeft;
    case PadButton::PadUp:
        return kUp;
    case PadButton::PadRight:
        return kRight;
    case PadButton::PadDown:
        return kDown;
    default:
        return std::nullopt;
    }
}

int16_t keyOfButton(PadButton button, bool gameOver) {
    switch (button) {
    case PadButton::South:
        return gameOver ? kKeyEnter : kKeySpace;
    case PadButton::West:
        return kKey1;
    case PadButton::North:
        return kKey2;
    case PadButton::Start:
    default: // the d-pad holds arrows instead
        return gameOver ? kKeyEnter : kKeyEsc;
    }
}
} // namespace

double deflectionOf16Bit(int value) {
    return value / 32768.0;
}

PadReading standardLayoutReading(std::span<const int> pressed, std::span<const double> values,
                                 std::span<const double> axes) {
    constexpr std::array<std::pair<std::size_t, PadButton>, kPadButtonCount> kButtons{{
        {0, PadButton::South},
        {2, PadButton::West},
        {3, PadButton::North},
        {9, PadButton::Start},
        {12, PadButton::PadUp},
        {13, PadButton::PadDown},
        {14, PadButton::PadLeft},
        {15, PadButton::PadRight},
    }};
    PadReading reading;
    for (const auto& [index, button] : kButtons) {
        reading.buttons[static_cast<std::size_t>(button)] =
            index < pressed.size() && pressed[index] != 0;
    }
    const auto value = [](std::span<const double> of, std::size_t index) {
        return index < of.size() ? of[index] : 0.0;
    };
    reading.axes[static_cast<std::size_t>(PadAxis::StickX)] = value(axes, 0);
    reading.axes[static_cast<std::size_t>(PadAxis::StickY)] = value(axes, 1);
    reading.axes[static_cast<std::size_t>(PadAxis::LeftTrigger)] = value(values, 6);
    reading.axes[static_cast<std::size_t>(PadAxis::RightTrigger)] = value(values, 7);
    return reading;
}

InputPolicy::InputPolicy(std::function<void(const InputEvent&)> send) : send_(std::move(send)) {}

void InputPolicy::send(InputAction action, int16_t code) {
    InputEvent event;
    event.action = action;
    event.keyCode = code;
    send_(event);
}

// Every press reaches the game, a repeat or a second hand on a held key
// too; the key goes up only when the last hand on it lets go.
void InputPolicy::press(const Holder& holder, int16_t code) {
    // A press behind another window is no press: its release comes to
    // nothing either.
    if (holder.source == Source::Pad && !padsInFront_) {
        return;
    }
    holders_[code].insert(holder);
    send(InputAction::KeyDown, code);
}

void InputPolicy::release(const Holder& holder, int16_t code) {
    const auto it = holders_.find(code);
    if (it == holders_.end() || it->second.erase(holder) == 0) {
        return; // its press was never seen
    }
    if (it->second.empty()) {
        holders_.erase(it);
        send(InputAction::KeyUp, code);
    }
}

void InputPolicy::releaseAll(Source source, int pad) {
    std::vector<std::pair<Holder, int16_t>> letGo;
    for (const auto& [code, holders] : holders_) {
        for (const Holder& holder : holders) {
            if (holder.source == source && holder.pad == pad) {
                letGo.emplace_back(holder, code);
            }
        }
    }
    for (const auto& [holder, code] : letGo) {
        release(holder, code);
    }
}

void InputPolicy::key(int16_t code, bool down, bool repeat) {
    if (repeat && (!down || code == kKeyEsc || code == kKeyEnter)) {
        return;
    }
    const Holder holder{Source::Keyboard, 0, code};
    if (down) {
        press(holder, code);
    } else {
        release(holder, code);
    }
}

void InputPolicy::releaseKeyboard() {
    releaseAll(Source::Keyboard, 0);
}

void InputPolicy::padButton(int pad, PadButton button, bool down, bool gameOver) {
    Pad& state = pads_[pad];
    const auto index = static_cast<std::size_t>(button);
    if (state.buttons[index] == down) {
        return;
    }
    state.buttons[index] = down;
    if (const auto arrow = arrowOf(button)) {
        state.arrows[kDPad][*arrow] = down;
        sendArrowChanges(pad, state);
        return;
    }
    const Holder holder{Source::Pad, pad, static_cast<int>(button)};
    if (down) {
        const int16_t code = keyOfButton(button, gameOver);
        state.pressedKeys[button] = code;
        press(holder, code);
    } else if (const auto key = state.pressedKeys.find(button); key != state.pressedKeys.end()) {
        const int16_t code = key->second;
        state.pressedKeys.erase(key);
        release(holder, code);
    }
}

void InputPolicy::padAxis(int pad, PadAxis axis, double deflection) {
    Pad& state = pads_[pad];
    auto& stick = state.arrows[kStick];
    auto& triggers = state.arrows[kTriggers];
    switch (axis) {
    case PadAxis::StickX:
        holdWithHysteresis(stick[kLeft], -deflection);
        holdWithHysteresis(stick[kRight], deflection);
        break;
    case PadAxis::StickY:
        holdWithHysteresis(stick[kUp], -deflection);
        holdWithHysteresis(stick[kDown], deflection);
        break;
    case PadAxis::RightTrigger:
        holdWithHysteresis(triggers[kUp], deflection);
        break;
    case PadAxis::LeftTrigger:
        holdWithHysteresis(triggers[kDown], deflection);
        break;
    }
    sendArrowChanges(pad, state);
}

void InputPolicy::padReading(int pad, const PadReading& reading, bool gameOver) {
    for (std::size_t i = 0; i < kPadButtonCount; ++i) {
        padButton(pad, static_cast<PadButton>(i), reading.buttons[i], gameOver);
    }
    for (std::size_t i = 0; i < kPadAxisCount; ++i) {
        padAxis(pad, static_cast<PadAxis>(i), reading.axes[i]);
    }
}

void InputPolicy::sendArrowChanges(int pad, Pad& state) {
    for (std::size_t arrow = 0; arrow < kArrows.size(); ++arrow) {
        bool held = false;
        for (const auto& source : state.arrows) {
            held = held || source[arrow];
        }
        if (held == state.sentArrows[arrow]) {
            continue;
        }
        state.sentArrows[arrow] = held;
        const Holder holder{Source::Pad, pad, kArrowControl + static_cast<int>(arrow)};
        if (held) {
            press(holder, kArrows[arrow]);
        } else {
            release(holder, kArrows[arrow]);
        }
    }
}

void InputPolicy::padGone(int pad) {
    releaseAll(Source::Pad, pad);
    pads_.erase(pad);
}

std::vector<int> InputPolicy::pads() const {
    std::vector<int> known;
    for (const auto& [pad, state] : pads_) {
        known.push_back(pad);
    }
    return known;
}

void InputPolicy::touches(const std::set<int16_t>& held) {
    for (const int16_t code : touched_) {
        if (!held.contains(code)) {
            release(Holder{Source::Touch, 0, code}, code);
        }
    }
    for (const int16_t code : held) {
        if (!touched_.contains(code)) {
            press(Holder{Source::Touch, 0, code}, code);
        }
    }
    touched_ = held;
}

} // namespace kestrada::session
