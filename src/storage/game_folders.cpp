// SPDX-License-Identifier: GPL-3.0-or-later
#include "storage/game_folders.h"

#include <cstdlib>
#include <system_error>

namespace kestrada {

std::filesystem::path programFolder() {
    std::error_code ec;
    const auto exe = std::filesystem::read_symlink("/proc/self/exe", ec);
    if (ec) {
        return std::filesystem::current_path(ec);
    }
    return exe.parent_path();
}

std::optional<std::filesystem::path> installedDataFolder(const std::filesystem::path& programDir) {
    const auto data = (programDir / kInstalledDataFromProgram).lexically_normal();
    std::error_code ec;
    if (std::filesystem::is_directory(data, ec)) {
        return data;
    }
    return std::nullopt;
}

std::filesystem::path userDataFolder(const char* xdgDataHome, const char* home) {
    std::filesystem::path base;
    if (xdgDataHome != nullptr && xdgDataHome[0] == '/') {
        base = xdgDataHome;
    } else {
        // An unset or empty HOME leaves the root folder, as the toolkit does.
        base = std::filesystem::path(home != nullptr && home[0] != '\0' ? home : "/") / ".local" /
               "share";
    }
    return (base / "kestrada").lexically_normal();
}

std::filesystem::path userDataFolder() {
    return userDataFolder(std::getenv("XDG_DATA_HOME"), std::getenv("HOME"));
}

} // namespace kestrada
