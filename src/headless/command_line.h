// SPDX-License-Identifier: GPL-3.0-or-later
// The options of `kestrada --headless`.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kestrada::headless {

inline constexpr uint32_t kDefaultSlots = 1500;

struct Options {
    bool help = false;
    bool version = false;
    std::optional<uint32_t> seed;   // none: the time of day
    uint32_t slots = kDefaultSlots; // 40 ms slots to simulate
    bool slotsGiven = false;
    std::optional<std::filesystem::path> input;   // none: no input events
    std::optional<std::filesystem::path> trace;   // none: no trace
    std::optional<std::filesystem::path> dataDir; // folder of the high score
};

struct CommandLine {
    Options options;
    std::string error; // empty when the arguments were good
};

// Parses the arguments after the program name; "--headless" itself may be
// among them.
CommandLine parseCommandLine(const std::vector<std::string>& args);

std::string_view usageText();

// "kestrada VERSION", for --headless --version.
std::string versionText();

} // namespace kestrada::headless
