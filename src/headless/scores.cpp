// SPDX-License-Identifier: GPL-3.0-or-later
#include "headless/scores.h"

#include "session/run_verification.h"
#include "storage/game_folders.h"

#include <iostream>
#include <optional>

namespace kestrada::headless {

namespace {
std::size_t characters(const std::string& text) {
    std::size_t count = 0;
    for (const char c : text) {
        count += (static_cast<unsigned char>(c) & 0xC0) != 0x80 ? 1 : 0;
    }
    return count;
}
} // namespace

std::string scoreLine(const session::RankedEntry& entry) {
    std::string rank = std::to_string(entry.rank);
    std::string score = entry.line.score;
    std::string name = entry.line.name;
    rank.insert(0, rank.size() < 2 ? 2 - rank.size() : 0, ' ');
    score.insert(0, score.size() < 10 ? 10 - score.size() : 0, ' ');
    const std::size_t length = characters(name);
    name.append(length < session::kNameCharacters ? session::kNameCharacters - length : 0, ' ');
    const session::Verification& v = entry.verification;
    return rank + "  " + score + "  " + name + "  " + entry.line.when + "  " +
           (v.verified ? "verified" : "unverified (" + v.reason + ")");
}

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
        std::cout << scoreLine(entry) << '\n';
    }
    return 0;
}

} // namespace kestrada::headless
