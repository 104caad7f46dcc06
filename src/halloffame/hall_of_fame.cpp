// SPDX-License-Identifier: GPL-3.0-or-later
#include "halloffame/hall_of_fame.h"

#include "app/score_text.h"
#include "shared_rules/utf8.h"

#include <algorithm>
#include <cstdint>
#include <fstream>
#include <system_error>

namespace kestrada::session {

namespace {
bool isControl(uint32_t c) {
    return c < 0x20 || (c >= 0x7F && c <= 0x9F) || c == 0x2028 || c == 0x2029;
}

double valueOf(const HallOfFameLine& line) {
    return leadingNumber(line.score);
}

bool better(const HallOfFameLine& a, const HallOfFameLine& b) {
    if (valueOf(a) != valueOf(b)) {
        return valueOf(a) > valueOf(b);
    }
    return a.when < b.when;
}
} // namespace

std::string cleanName(std::string_view typed) {
    std::vector<std::string> characters;
    std::size_t i = 0;
    while (i < typed.size()) {
        const auto character = shared_rules::utf8CharacterAt(typed, i);
        if (!character) {
            ++i;
            continue;
        }
        characters.emplace_back(
            isControl(character->point) ? " " : std::string(typed.substr(i, character->length)));
        i += character->length;
    }
    auto first =
        std::find_if(characters.begin(), characters.end(), [](const auto& c) { return c != " "; });
    characters.erase(characters.begin(), first);
    while (!characters.empty() && characters.back() == " ") {
        characters.pop_back();
    }
    if (characters.size() > kNameCharacters) {
        characters.resize(kNameCharacters);
        while (!characters.empty() && characters.back() == " ") {
            characters.pop_back();
        }
    }
    std::string name;
    for (const std::string& c : characters) {
        name += c;
    }
    return name;
}

void keepBest(std::vector<HallOfFameLine>& lines, const KnownUnverified& unverified) {
    std::stable_sort(lines.begin(), lines.end(), better);
    for (auto at = lines.end();
         unverified && lines.size() > kHallOfFameSize && at != lines.begin();) {
        --at;
        if (unverified(*at)) {
            at = lines.erase(at);
        }
    }
    if (lines.size() > kHallOfFameSize) {
        lines.resize(kHallOfFameSize);
    }
}

bool entersHallOfFame(const std::vector<HallOfFameLine>& lines, std::string_view score,
                      const KnownUnverified& unverified) {
    if (leadingNumber(score) <= 0) {
        return false;
    }
    // The game as the newest entry, under a run no file can name.
    const HallOfFameLine game{std::string(score), "", "~", "\n"};
    std::vector<HallOfFameLine> kept = lines;
    kept.push_back(game);
    keepBest(kept, unverified);
    return std::find(kept.begin(), kept.end(), game) != kept.end();
}

std::vector<RankedEntry> rankHallOfFame(const std::vector<HallOfFameLine>& lines,
                                        const std::vector<Verification>& verifications) {
    std::vector<RankedEntry> table;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        table.push_back(
            {0, lines[i], i < verifications.size() ? verifications[i] : Verification{}});
    }
    std::stable_sort(table.begin(), table.end(), [](const RankedEntry& a, const RankedEntry& b) {
        if (a.verification.verified != b.verification.verified) {
            return a.verification.verified;
        }
        return better(a.line, b.line);
    });
    for (std::size_t i = 0; i < table.size(); ++i) {
        table[i].rank = static_cast<int>(i + 1);
    }
    return table;
}

namespace {
// "2026-12-07T11:45:03" and a score make a name no other game of that
// second has, unless it scored the same: a count then tells them apart.
std::string runName(const std::filesystem::path& folder, const FinishedGame& game) {
    std::string stamp = game.when;
    std::replace(stamp.begin(), stamp.end(), ':', '-');
    std::string score = game.score;
    std::erase(score, '+');
    const std::string base = "run-" + stamp + "-" + score;
    std::string name = base + ".txt";
    std::error_code ec;
    for (int n = 2; std::filesystem::exists(*runPath(folder, name), ec) && n < 1000; ++n) {
        name = base + "-" + std::to_string(n) + ".txt";
    }
    return name;
}
} // namespace

std::optional<HallOfFameLine> keepGame(const std::filesystem::path& folder,
                                       const FinishedGame& game, std::string_view name,
                                       std::string& failure, const KnownUnverified& unverified) {
    HallOfFameFile file;
    if (!readHallOfFame(folder, file, failure) ||
        !entersHallOfFame(file.lines, game.score, unverified)) {
        return std::nullopt;
    }
    const HallOfFameLine entry{game.score, cleanName(name), game.when, runName(folder, game)};
    if (!writeRun(folder, entry.run, game.recording, failure)) {
        return std::nullopt;
    }
    bool kept = false;
    const bool saved = updateHallOfFame(
        folder,
        [&](std::vector<HallOfFameLine>& lines) {
            lines.push_back(entry);
            keepBest(lines, unverified);
            kept = std::find(lines.begin(), lines.end(), entry) != lines.end();
        },
        failure);
    if (!saved || !kept) {
        // Another game filled the table meanwhile, or the table was not saved.
        std::error_code ec;
        std::filesystem::remove(*runPath(folder, entry.run), ec);
        return std::nullopt;
    }
    return entry;
}

bool renameEntry(const std::filesystem::path& folder, std::string_view run, std::string_view name,
                 std::string& failure) {
    const std::string clean = cleanName(name);
    writeLastName(folder, clean);
    return updateHallOfFame(
        folder,
        [&](std::vector<HallOfFameLine>& lines) {
            for (HallOfFameLine& line : lines) {
                if (line.run == run) {
                    line.name = clean;
                }
            }
        },
        failure);
}

std::string shownDate(const std::string& iso) {
    // The file's reader keeps only dates of the game's own shape.
    return iso.size() < 16 ? iso : iso.substr(0, 10) + " " + iso.substr(11, 5);
}

std::string entryText(const RankedEntry& entry) {
    std::string rank = std::to_string(entry.rank);
    std::string score = entry.line.score;
    std::string name = cleanName(entry.line.name); // a hand-edited file may hold anything
    rank.insert(0, rank.size() < 2 ? 2 - rank.size() : 0, ' ');
    score.insert(0, score.size() < 10 ? 10 - score.size() : 0, ' ');
    const std::size_t length = shared_rules::utf8CharacterCount(name);
    name.append(length < kNameCharacters ? kNameCharacters - length : 0, ' ');
    const Verification& v = entry.verification;
    const std::string status = v.verified         ? "verified"
                               : v.reason.empty() ? "checking"
                                                  : "unverified (" + v.reason + ")";
    return rank + "  " + score + "  " + name + "  " + shownDate(entry.line.when) + "  " + status;
}

Verification verifyEntry(const std::filesystem::path& folder, const HallOfFameLine& entry,
                         uint64_t slotBudget) {
    const auto path = runPath(folder, entry.run);
    std::error_code ec;
    if (!path || !std::filesystem::is_regular_file(*path, ec)) {
        return Verification{false, "no recording"};
    }
    if (std::filesystem::file_size(*path, ec) > kMaxRunBytes || ec) {
        return Verification{false, ec ? "recording unreadable" : "recording too large"};
    }
    std::ifstream in(*path, std::ios::binary);
    const std::string text{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    if (!in.good() && !in.eof()) {
        return Verification{false, "recording unreadable"};
    }
    return verifyRecording(text, entry.score, slotBudget);
}

} // namespace kestrada::session
