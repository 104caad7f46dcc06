// SPDX-License-Identifier: GPL-3.0-or-later
// The input file of a headless run: key presses, menu commands and the end
// of the road music, each tied to the 40 ms slot in which it arrives.
#pragma once

#include "session/menu_commands.h"

#include <cstdint>
#include <istream>
#include <string>
#include <string_view>
#include <vector>

namespace kestrada::session {

enum class InputAction : unsigned char { KeyDown, KeyUp, Menu, MusicEnded };

struct InputEvent {
    uint32_t slot = 1;
    InputAction action = InputAction::KeyDown;
    int16_t keyCode = 0;                       // KeyDown and KeyUp
    MenuCommand command = MenuCommand::mnuNew; // Menu

    bool operator==(const InputEvent&) const = default;
};

// Longer lines are refused before they are read in full.
inline constexpr std::size_t kMaxInputLineLength = 4096;

struct InputParse {
    std::vector<InputEvent> events; // in file order
    std::size_t errorLine = 0;      // 0 when the whole file was good
    std::string reason;

    bool ok() const { return errorLine == 0; }
    // "input:LINE: reason", the line the player sees on a bad file.
    std::string message() const;
};

// Reads a whole input file; stops at the first bad line.
InputParse parseInput(std::istream& in);
InputParse parseInput(std::string_view text);

// One event as a line of an input file, without the line end; reading the
// line back gives the same event.
std::string inputLine(const InputEvent& event);

} // namespace kestrada::session
