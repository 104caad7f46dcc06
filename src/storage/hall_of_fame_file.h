// SPDX-License-Identifier: GPL-3.0-or-later
// The hall of fame's file beside the high score: a header line naming the
// format's version, then one entry a line, tab-separated: score, name,
// date and time, and the file name of the game's recording in runs/.
// Reading keeps every line it can read; saving replaces the file whole
// under the same folder lock as the high score, so two games ending
// together keep both their entries.
#pragma once

#include <cstddef>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kestrada {

inline constexpr const char* kHallOfFameFileName = "HallOfFame.txt";
inline constexpr const char* kRunsFolderName = "runs";
// The name the player last gave, offered for the next entry.
inline constexpr const char* kLastNameFileName = "HallOfFameName.txt";
inline constexpr std::string_view kHallOfFameHeader = "# kestrada hall of fame 1";
// Ten short lines; anything past this is not a table the game wrote.
inline constexpr std::size_t kMaxHallOfFameBytes = 64 * 1024;

struct HallOfFameLine {
    std::string score; // as the dashboard showed it
    std::string name;
    std::string when; // ISO 8601, to the second
    std::string run;  // the recording's file name in runs/
    bool operator==(const HallOfFameLine&) const = default;
};

struct HallOfFameFile {
    std::vector<HallOfFameLine> lines;
    std::size_t damaged = 0; // lines, or the header, that could not be read
};

// Reads the file's text; lines that are not an entry are counted and left
// out, and a damaged header costs only itself.
HallOfFameFile parseHallOfFame(std::string_view text);
std::string hallOfFameText(const std::vector<HallOfFameLine>& lines);

// The folder's table; empty when there is none yet. False, with the reason,
// when the file is there but cannot be read.
bool readHallOfFame(const std::filesystem::path& folder, HallOfFameFile& file,
                    std::string& failure);

// A recording's path in the folder, or nothing for a name that would leave
// the runs folder.
std::optional<std::filesystem::path> runPath(const std::filesystem::path& folder,
                                             std::string_view run);

// Writes a game's recording to runs/, replacing the file whole.
bool writeRun(const std::filesystem::path& folder, std::string_view run,
              const std::string& recording, std::string& failure);

// Under the folder's lock: reads the table on disk, lets `change` change
// it, and writes it back whole; recordings the table no longer names are
// removed. False, with the reason, when the table was not saved.
bool updateHallOfFame(const std::filesystem::path& folder,
                      const std::function<void(std::vector<HallOfFameLine>&)>& change,
                      std::string& failure);

// The name last given, and keeping the next one.
std::string readLastName(const std::filesystem::path& folder);
bool writeLastName(const std::filesystem::path& folder, std::string_view name);

} // namespace kestrada
