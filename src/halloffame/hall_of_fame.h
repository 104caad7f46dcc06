// SPDX-License-Identifier: GPL-3.0-or-later
// The hall of fame's rules: the ten best games, best first, a tie going to
// the earlier game; names cleaned and cut to twelve characters; and, as
// shown, every verified entry above every unverified one.
#pragma once

#include "session/run_verification.h"
#include "storage/hall_of_fame_file.h"

#include <cstddef>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kestrada::session {

inline constexpr std::size_t kHallOfFameSize = 10;
inline constexpr std::size_t kNameCharacters = 12;

// The name as typed made fit for the table: a tab or other control
// character becomes a space, bytes that are not UTF-8 are dropped, spaces
// at either end are trimmed, and the rest is cut at twelve characters.
std::string cleanName(std::string_view typed);

// Whether an entry's run is already known not to replay to its score.
using KnownUnverified = std::function<bool(const HallOfFameLine&)>;

// Best first: the higher score, then the earlier game; lines already in
// order keep it, so an entry made later stays below an equal one. Keeps
// ten: a score typed in by hand must not push a real game out, so the
// entries known to be unverified go first, the lowest of them first; then
// the lowest of the rest.
void keepBest(std::vector<HallOfFameLine>& lines, const KnownUnverified& unverified = {});

// Whether a game with this score would be kept: it scores, and the table
// has room, or its tenth scores less (a tie goes to the earlier game), or
// holds an entry known to be unverified.
bool entersHallOfFame(const std::vector<HallOfFameLine>& lines, std::string_view score,
                      const KnownUnverified& unverified = {});

struct RankedEntry {
    int rank = 0;
    HallOfFameLine line;
    Verification verification;
};

// The table as shown: verified entries first, each part best first.
// `verifications` goes with `lines`, one for one.
std::vector<RankedEntry> rankHallOfFame(const std::vector<HallOfFameLine>& lines,
                                        const std::vector<Verification>& verifications);

// The date and time as a player reads them, "2026-12-07 12:34", from the
// file's ISO 8601.
std::string shownDate(const std::string& iso);

// "rank  score  name  date  verified", or "unverified (reason)", or
// "checking" while a verification without a reason is still to come; the
// name padded to its twelve characters.
std::string entryText(const RankedEntry& entry);

// A game that has just ended, with the session's recording up to its end.
struct FinishedGame {
    std::string score; // as the dashboard showed it
    std::string when;  // ISO 8601, to the second
    std::string recording;
};

// Keeps the game in the folder's table under `name` when its score enters:
// its recording goes to runs/ first, then the table on disk takes the
// entry. The entry kept, or nothing (with the reason in `failure` when it
// was a failure, not a score too low).
std::optional<HallOfFameLine> keepGame(const std::filesystem::path& folder,
                                       const FinishedGame& game, std::string_view name,
                                       std::string& failure,
                                       const KnownUnverified& unverified = {});

// Gives the entry recorded in `run` the name (cleaned), and remembers it as
// the name for the next entry.
bool renameEntry(const std::filesystem::path& folder, std::string_view run, std::string_view name,
                 std::string& failure);

// The entry's recording in the folder's runs/, read within the size bound,
// replayed to the entry's score.
Verification verifyEntry(const std::filesystem::path& folder, const HallOfFameLine& entry,
                         uint64_t slotBudget = kMaxRunSlots);

} // namespace kestrada::session
