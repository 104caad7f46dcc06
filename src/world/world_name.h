// SPDX-License-Identifier: GPL-3.0-or-later
// The name the player gave for the world's table after the server refused
// one: kept in the folder beside the hall of fame, it goes with every entry
// sent from then on, while the local table keeps the names as typed.
#pragma once

#include "world/world_records.h"

#include <filesystem>
#include <string>
#include <string_view>

namespace kestrada::session {

inline constexpr const char* kWorldNameFileName = "WorldName.txt";

// Empty when none was given.
std::string readWorldName(const std::filesystem::path& folder);
bool writeWorldName(const std::filesystem::path& folder, std::string_view name);

// The server (or the check here, which knows its rules) refused the run for
// its name alone: the same run goes again under another name.
bool refusedForName(const WorldRecord& record);

} // namespace kestrada::session
