// SPDX-License-Identifier: GPL-3.0-or-later
#include "headless/command_line.h"

#include "session/menu_commands.h"
#include "session/whole_number.h"

#include <limits>

namespace kestrada::headless {

using namespace session;

namespace {

constexpr uint64_t kMaxUint32 = std::numeric_limits<uint32_t>::max();

std::optional<uint32_t> wholeNumberOption(std::string_view name, std::string_view text,
                                          std::string& error) {
    const WholeNumber number = parseWholeNumber(text, kMaxUint32);
    switch (number.error) {
    case WholeNumberError::None:
        return static_cast<uint32_t>(number.value);
    case WholeNumberError::NotANumber:
        error = std::string(name) + ": \"" + std::string(text) + "\" is not a whole number";
        break;
    case WholeNumberError::TooLarge:
        error = std::string(name) + ": " + std::string(text) + " is out of range 0 to 4294967295";
        break;
    }
    return std::nullopt;
}

} // namespace

CommandLine parseCommandLine(const std::vector<std::string>& args) {
    CommandLine result;
    Options& options = result.options;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (arg == "--headless") {
            continue;
        }
        if (arg == "--help" || arg == "-h") {
            options.help = true;
            continue;
        }
        if (arg == "--version" || arg == "-v") {
            options.version = true;
            continue;
        }
        const bool takesValue = arg == "--seed" || arg == "--slots" || arg == "--input" ||
                                arg == "--trace" || arg == "--data-dir";
        if (!takesValue) {
            result.error = "unknown argument \"" + arg + "\"";
            return result;
        }
        if (i + 1 >= args.size()) {
            result.error = arg + " needs a value";
            return result;
        }
        const std::string& value = args[++i];
        // A repeated option is a scripting slip, not a choice to be made.
        const bool repeated =
            (arg == "--seed" && options.seed) || (arg == "--slots" && options.slotsGiven) ||
            (arg == "--input" && options.input) || (arg == "--trace" && options.trace) ||
            (arg == "--data-dir" && options.dataDir);
        if (repeated) {
            result.error = arg + " given more than once";
            return result;
        }
        if ((arg == "--input" || arg == "--trace" || arg == "--data-dir") && value.empty()) {
            result.error = arg + " needs a value";
            return result;
        }
        if (arg == "--seed" || arg == "--slots") {
            const auto number = wholeNumberOption(arg, value, result.error);
            if (!number) {
                return result;
            }
            if (arg == "--seed") {
                options.seed = *number;
            } else {
                options.slots = *number;
                options.slotsGiven = true;
            }
        } else if (arg == "--input") {
            options.input = value;
        } else if (arg == "--trace") {
            options.trace = value;
        } else {
            options.dataDir = value;
        }
    }
    return result;
}

namespace {
constexpr std::string_view kUsageHead =
    "usage: kestrada --headless [--seed N] [--slots N] [--input FILE] [--trace FILE]\n"
    "                          [--data-dir DIR]\n"
    "\n"
    "Plays the game without a window, one 40 ms timer slot after another.\n"
    "\n"
    "  --seed N       seed for the random generator, 0 to 4294967295\n"
    "                 (default: the seed a recorded game names in its\n"
    "                 first line, else the time of day)\n"
    "  --slots N      number of slots to simulate (default 1500; for a\n"
    "                 recorded game, up to its last recorded event)\n"
    "  --input FILE   input events, one per line: SLOT down KEY, SLOT up KEY,\n"
    "                 SLOT menu ITEM or SLOT music-ended, SLOT from 1 to\n"
    "                 4294967295 and never decreasing; # starts a comment\n"
    "  --trace FILE   write the game state after every slot as JSON Lines\n"
    "  --data-dir DIR folder of the high-score file (default: beside the\n"
    "                 program in a build, ~/.local/share/kestrada installed)\n"
    "  --help         show this text\n"
    "  --version      show the version\n"
    "\n"
    "Keys: Enter Esc Space Left Up Right Down 1 2 code:N (N 0 to 255).\n";

constexpr std::string_view kUsageTail =
    "\n"
    "At the end one line is printed:\n"
    "  slots=N ticks=N score=TEXT high=TEXT gameover=BOOL exited=BOOL\n"
    "where slots counts the slots completed (Exit ends a run inside its slot).\n"
    "Bad arguments or a bad input file: a message and exit status 2.\n";

// The menu commands an input file may name, wrapped like the rest of the text.
std::string menuItemsText() {
    constexpr std::size_t kWidth = 76;
    const std::string indent(12, ' ');
    std::string text = "Menu items:";
    std::size_t lineStart = 0;
    for (const MenuCommandEntry& entry : menuCommands()) {
        if (text.size() - lineStart + 1 + entry.name.size() > kWidth) {
            text += "\n";
            lineStart = text.size();
            text += indent;
        } else {
            text += " ";
        }
        text += entry.name;
    }
    return text + ".\n";
}
} // namespace

std::string_view usageText() {
    static const std::string text =
        std::string(kUsageHead) + menuItemsText() + std::string(kUsageTail);
    return text;
}

std::string versionText() {
    return "kestrada " KESTRADA_VERSION;
}

} // namespace kestrada::headless
