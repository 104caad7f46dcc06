// SPDX-License-Identifier: GPL-3.0-or-later
#include "world/world_name.h"

#include "storage/replace_file.h"

#include <fstream>

namespace kestrada::session {

std::string readWorldName(const std::filesystem::path& folder) {
    std::ifstream in(folder / kWorldNameFileName, std::ios::binary);
    std::string name;
    std::getline(in, name);
    return name;
}

bool writeWorldName(const std::filesystem::path& folder, std::string_view name) {
    int error = 0;
    return replaceWhole(folder / kWorldNameFileName, std::string(name) + "\n", error) ==
           Replace::Done;
}

bool refusedForName(const WorldRecord& record) {
    return record.state == WorldState::Rejected && record.reason.starts_with("name: ");
}

} // namespace kestrada::session
