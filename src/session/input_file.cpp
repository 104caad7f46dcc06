// SPDX-License-Identifier: GPL-3.0-or-later
// The input file is written by hand or by tools, and a replay must mean
// exactly one thing: every line is checked strictly, and the whole file is
// read before the first slot so a bad line never leaves half a run behind.
#include "session/input_file.h"

#include "app/key_codes.h"
#include "session/whole_number.h"
#include "shared_rules/utf8.h"

#include <algorithm>
#include <array>
#include <optional>
#include <sstream>
#include <utility>

namespace kestrada::session {

namespace {

constexpr std::array<std::pair<std::string_view, int16_t>, 9> kKeyNames = {{
    {"Enter", kKeyEnter},
    {"Esc", kKeyEsc},
    {"Space", kKeySpace},
    {"Left", kKeyLeft},
    {"Up", kKeyUp},
    {"Right", kKeyRight},
    {"Down", kKeyDown},
    {"1", kKey1},
    {"2", kKey2},
}};

constexpr uint64_t kMaxSlot = 4294967295u;
constexpr uint64_t kMaxKeyCode = 255;

// Echoes a field back in a message; fields are printable ASCII by the time
// they get here, but a long one is cut so the message stays one short line.
std::string quoted(std::string_view field) {
    constexpr std::size_t kShown = 32;
    std::string text = "\"";
    text += field.substr(0, kShown);
    if (field.size() > kShown) {
        text += "...";
    }
    text += '"';
    return text;
}

// Layout faults are named before content faults: "trailing space" says more
// than "unknown key" about a line that ends in a blank.
std::optional<std::string> layoutFault(std::string_view line) {
    for (const char c : line) {
        if (c == '\t') {
            return "tab character";
        }
        if (c == '\r') {
            return "carriage return inside the line";
        }
        if (c != ' ' && (c < 0x21 || c > 0x7e)) {
            return "unexpected character";
        }
    }
    if (line.front() == ' ') {
        return "leading space";
    }
    if (line.back() == ' ') {
        return "trailing space";
    }
    if (line.find("  ") != std::string_view::npos) {
        return "more than one space between fields";
    }
    return std::nullopt;
}

std::vector<std::string_view> splitFields(std::string_view line) {
    std::vector<std::string_view> fields;
    std::size_t start = 0;
    while (true) {
        const std::size_t space = line.find(' ', start);
        fields.push_back(line.substr(start, space - start));
        if (space == std::string_view::npos) {
            return fields;
        }
        start = space + 1;
    }
}

std::optional<int16_t> keyCodeOf(std::string_view name, std::string& reason) {
    for (const auto& [keyName, code] : kKeyNames) {
        if (name == keyName) {
            return code;
        }
    }
    constexpr std::string_view kCodePrefix = "code:";
    if (name.starts_with(kCodePrefix)) {
        const WholeNumber code = parseWholeNumber(name.substr(kCodePrefix.size()), kMaxKeyCode);
        if (code.error == WholeNumberError::None) {
            return static_cast<int16_t>(code.value);
        }
        reason = code.error == WholeNumberError::TooLarge ? "key code out of range 0 to 255"
                                                          : "key code is not a whole number";
        return std::nullopt;
    }
    reason = "unknown key " + quoted(name);
    return std::nullopt;
}

std::optional<MenuCommand> menuCommandOf(std::string_view name, std::string& reason) {
    if (auto command = commandNamed(name)) {
        return command;
    }
    reason = "unknown menu item " + quoted(name);
    return std::nullopt;
}

// One line that is neither blank nor a comment.
std::optional<InputEvent> parseEventLine(std::string_view line, uint32_t previousSlot,
                                         std::string& reason) {
    if (auto fault = layoutFault(line)) {
        reason = std::move(*fault);
        return std::nullopt;
    }
    const std::vector<std::string_view> fields = splitFields(line);
    if (fields.size() < 2) {
        reason = "missing action";
        return std::nullopt;
    }

    InputEvent event;
    const WholeNumber slot = parseWholeNumber(fields[0], kMaxSlot);
    if (slot.error == WholeNumberError::NotANumber) {
        reason = "slot " + quoted(fields[0]) + " is not a whole number";
        return std::nullopt;
    }
    if (slot.error == WholeNumberError::TooLarge) {
        reason = "slot number too large (at most 4294967295)";
        return std::nullopt;
    }
    if (slot.value == 0) {
        reason = "slot must be at least 1";
        return std::nullopt;
    }
    event.slot = static_cast<uint32_t>(slot.value);
    if (event.slot < previousSlot) {
        reason = "slot " + std::to_string(event.slot) + " comes after slot " +
                 std::to_string(previousSlot);
        return std::nullopt;
    }

    const std::string_view action = fields[1];
    const bool takesArgument = action != "music-ended";
    if (action == "down" || action == "up") {
        event.action = action == "down" ? InputAction::KeyDown : InputAction::KeyUp;
    } else if (action == "menu") {
        event.action = InputAction::Menu;
    } else if (action == "music-ended") {
        event.action = InputAction::MusicEnded;
    } else {
        reason = "unknown action " + quoted(action);
        return std::nullopt;
    }
    if (takesArgument && fields.size() < 3) {
        reason = event.action == InputAction::Menu ? "missing menu item" : "missing key";
        return std::nullopt;
    }
    if (fields.size() > (takesArgument ? 3u : 2u)) {
        reason = "too many fields";
        return std::nullopt;
    }

    if (event.action == InputAction::Menu) {
        const auto command = menuCommandOf(fields[2], reason);
        if (!command) {
            return std::nullopt;
        }
        event.command = *command;
    } else if (takesArgument) {
        const auto code = keyCodeOf(fields[2], reason);
        if (!code) {
            return std::nullopt;
        }
        event.keyCode = *code;
    }
    return event;
}

enum class LineStatus { Line, End, TooLong };

// Reads one line without its line end, never holding more than the longest
// line allowed.
LineStatus readLine(std::streambuf& in, std::string& line) {
    line.clear();
    int c = in.sbumpc();
    if (c == std::char_traits<char>::eof()) {
        return LineStatus::End;
    }
    while (c != std::char_traits<char>::eof() && c != '\n') {
        // The extra byte leaves room for the CR of a CRLF line end.
        if (line.size() > kMaxInputLineLength) {
            return LineStatus::TooLong;
        }
        line += static_cast<char>(c);
        c = in.sbumpc();
    }
    if (c == '\n' && !line.empty() && line.back() == '\r') {
        line.pop_back();
    }
    if (line.size() > kMaxInputLineLength) {
        return LineStatus::TooLong;
    }
    return LineStatus::Line;
}

} // namespace

std::string InputParse::message() const {
    return "input:" + std::to_string(errorLine) + ": " + reason;
}

InputParse parseInput(std::istream& in) {
    InputParse result;
    std::streambuf* buffer = in.rdbuf();
    if (buffer == nullptr) {
        result.errorLine = 1;
        result.reason = "cannot be read";
        return result;
    }
    std::string line;
    uint32_t previousSlot = 1;
    for (std::size_t number = 1;; ++number) {
        const LineStatus status = readLine(*buffer, line);
        if (status == LineStatus::End) {
            return result;
        }
        const auto fail = [&](std::string reason) {
            result.events.clear();
            result.errorLine = number;
            result.reason = std::move(reason);
            return result;
        };
        if (status == LineStatus::TooLong) {
            return fail("line longer than " + std::to_string(kMaxInputLineLength) + " bytes");
        }
        // Editors on some systems start UTF-8 files with a byte-order mark.
        if (number == 1 && line.starts_with("\xEF\xBB\xBF")) {
            line.erase(0, 3);
        }
        if (!shared_rules::isValidUtf8(line)) {
            return fail("not valid UTF-8");
        }
        if (line.empty() || line.front() == '#') {
            if (line.find('\r') != std::string::npos) {
                return fail("carriage return inside the line");
            }
            continue;
        }
        std::string reason;
        const auto event = parseEventLine(line, previousSlot, reason);
        if (!event) {
            return fail(std::move(reason));
        }
        previousSlot = event->slot;
        result.events.push_back(*event);
    }
}

std::string inputLine(const InputEvent& event) {
    std::string line = std::to_string(event.slot);
    switch (event.action) {
    case InputAction::KeyDown:
    case InputAction::KeyUp: {
        line += event.action == InputAction::KeyDown ? " down " : " up ";
        const auto named = std::find_if(kKeyNames.begin(), kKeyNames.end(), [&](const auto& key) {
            return key.second == event.keyCode;
        });
        line += named != kKeyNames.end() ? std::string(named->first)
                                         : "code:" + std::to_string(event.keyCode);
        break;
    }
    case InputAction::Menu:
        line += " menu ";
        line += entryOf(event.command).name;
        break;
    case InputAction::MusicEnded:
        line += " music-ended";
        break;
    }
    return line;
}

InputParse parseInput(std::string_view text) {
    std::istringstream in{std::string(text)};
    return parseInput(in);
}

} // namespace kestrada::session
