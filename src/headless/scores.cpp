// SPDX-License-Identifier: GPL-3.0-or-later
#include "headless/scores.h"

#include "halloffame/hall_of_fame.h"
#include "storage/game_folders.h"

#include <iostream>
#include <optional>

namespace kestrada::headless {

int printScores(const std::vector<std::string>& args) {
    std::optional<std::filesystem::path> dataDir;
    for (std::size_t i = 0; i < args.size(); ++i) {
        if (args[i] == "--scores") {
            continue;
        }
        if (args[i] == "--data-dir" && i + 1 < args.size()) {
            dataDir = args[++i];
        } else if (args[i].starts_with("--data-dir=")) {
            dataDir = args[i].substr(std::string("--data-dir=").size());
        } else {
            std::cerr << "--scores: unknown argument " << args[i] << " (try --help)\n";
            return 2;
        }
    }
    const GameFolders folders =
        gameFolders(programFolder(), dataDir, [] { return kestrada::userDataFolder(); });
    std::error_code ec;
    if (!dataDir && !std::filesystem::exists(folders.highScore, ec)) {
        return 0; // no game has been kept yet
    }
    HallOfFameFile file;
    std::string failure;
    if (!readHallOfFame(folders.highScore, file, failure)) {
        std::cerr << "--scores: " << failure << '\n';
        return 2;
    }
    std::vector<session::Verification> verifications;
    for (const HallOfFameLine& line : file.lines) {
        verifications.push_back(session::verifyEntry(folders.highScore, line));
    }
    for (const auto& entry : session::rankHallOfFame(file.lines, verifications)) {
        std::cout << session::entryText(entry) << '\n';
    }
    return 0;
}

} // namespace kestrada::headless
