// SPDX-License-Identifier: GPL-3.0-or-later
// Where the game finds its own data and where it keeps the player's high
// score. No path is compiled in: everything follows from the folder of the
// running program, so an installed tree can be moved as a whole.
#pragma once

#include <filesystem>
#include <optional>

namespace kestrada {

struct GameFolders {
    // The wave files and the pictures folder.
    std::filesystem::path gameData;
    // The folder of the high-score file.
    std::filesystem::path highScore;
};

// The game's data relative to the program when installed (bin/kestrada
// beside share/kestrada).
inline constexpr const char* kInstalledDataFromProgram = "../share/kestrada";

// The folder of the running program, from /proc/self/exe.
std::filesystem::path programFolder();

// The data folder of an installed game, if programDir is the bin folder of
// one; nothing in a build tree, where the data sit beside the program.
std::optional<std::filesystem::path> installedDataFolder(const std::filesystem::path& programDir);

// The per-user data folder by the XDG rule: $XDG_DATA_HOME when it is an
// absolute path, else $HOME/.local/share; then "kestrada". The window's
// toolkit computes the same folder; the view's tests hold them together.
std::filesystem::path userDataFolder(const char* xdgDataHome, const char* home);
std::filesystem::path userDataFolder(); // from the environment

// The game's folders: in a build tree everything beside the program; when
// installed the per-user folder keeps the score. --data-dir (scoreDirOption)
// moves the high score only. userFolder is asked for only when needed.
template <typename UserFolder>
GameFolders gameFolders(const std::filesystem::path& programDir,
                        const std::optional<std::filesystem::path>& scoreDirOption,
                        UserFolder userFolder) {
    const auto installed = installedDataFolder(programDir);
    GameFolders folders{installed ? *installed : programDir, {}};
    if (scoreDirOption) {
        folders.highScore = *scoreDirOption;
    } else {
        folders.highScore = installed ? std::filesystem::path(userFolder()) : programDir;
    }
    return folders;
}

} // namespace kestrada
