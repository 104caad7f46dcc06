// SPDX-License-Identifier: GPL-3.0-or-later
// What must hold for any bytes handed to the headless runner as its input
// file. Shared by the fuzz target and the corpus replay test.
#pragma once

#include "session/input_file.h"

#include <algorithm>
#include <array>
#include <string>
#include <string_view>

namespace kestrada::fuzzing {

namespace detail {

inline constexpr std::array<std::string_view, 9> kMenuItemNames = {
    "mnuNew",       "mnuPause", "mnuExit",       "mnuMusic",   "mnuEffects",
    "mnuHowToPlay", "mnuAbout", "mnuHighScores", "cmdNewGame",
};

// One event as a line of the input file; keys are always written as codes,
// which reads back the same as their names.
inline std::string lineOf(const session::InputEvent& event) {
    using session::InputAction;
    std::string line = std::to_string(event.slot);
    switch (event.action) {
    case InputAction::KeyDown:
    case InputAction::KeyUp:
        line += event.action == InputAction::KeyDown ? " down code:" : " up code:";
        line += std::to_string(event.keyCode);
        break;
    case InputAction::Menu:
        line += " menu ";
        line += kMenuItemNames.at(static_cast<std::size_t>(event.command));
        break;
    case InputAction::MusicEnded:
        line += " music-ended";
        break;
    }
    return line + "\n";
}

// The player reads this on a terminal: one line, nothing unprintable.
inline bool isPlainLine(std::string_view text) {
    return std::all_of(text.begin(), text.end(), [](char c) { return c >= 0x20 && c <= 0x7e; });
}

inline std::string refusalFault(std::string_view bytes, const session::InputParse& parse) {
    if (!parse.events.empty()) {
        return "a refused file still hands over events";
    }
    if (parse.reason.empty()) {
        return "a refused file gives no reason";
    }
    const auto lines = static_cast<std::size_t>(std::count(bytes.begin(), bytes.end(), '\n')) + 1;
    if (parse.errorLine > lines) {
        return "the bad line " + std::to_string(parse.errorLine) + " is past the end of the file";
    }
    const std::string message = parse.message();
    if (!message.starts_with("input:" + std::to_string(parse.errorLine) + ": ")) {
        return "the message does not name the bad line";
    }
    if (!isPlainLine(message)) {
        return "the message is not one line of printable text";
    }
    return "";
}

inline std::string eventsFault(std::string_view bytes, const session::InputParse& parse) {
    using session::InputAction;
    const auto lines = static_cast<std::size_t>(std::count(bytes.begin(), bytes.end(), '\n')) + 1;
    if (parse.events.size() > lines) {
        return "more events than lines";
    }
    uint32_t previousSlot = 1;
    std::string text;
    for (const session::InputEvent& event : parse.events) {
        if (event.slot < previousSlot) {
            return "slots go backwards";
        }
        previousSlot = event.slot;
        const auto action = static_cast<unsigned>(event.action);
        if (action > static_cast<unsigned>(InputAction::MusicEnded)) {
            return "an action that does not exist";
        }
        const bool isKey =
            event.action == InputAction::KeyDown || event.action == InputAction::KeyUp;
        if (isKey && (event.keyCode < 0 || event.keyCode > 255)) {
            return "key code " + std::to_string(event.keyCode) + " outside 0 to 255";
        }
        if (event.action == InputAction::Menu &&
            static_cast<std::size_t>(event.command) >= kMenuItemNames.size()) {
            return "a menu command that does not exist";
        }
        text += lineOf(event);
    }
    // Writing the events out again must give a file that means the same.
    const session::InputParse again = session::parseInput(text);
    if (!again.ok()) {
        return "the events written out again are refused: " + again.message();
    }
    if (again.events != parse.events) {
        return "the events written out again read differently";
    }
    return "";
}

} // namespace detail

// Empty when every property held for these bytes; otherwise what broke.
inline std::string inputFileFault(std::string_view bytes) {
    const session::InputParse parse = session::parseInput(bytes);
    return parse.ok() ? detail::eventsFault(bytes, parse) : detail::refusalFault(bytes, parse);
}

} // namespace kestrada::fuzzing
