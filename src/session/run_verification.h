// SPDX-License-Identifier: GPL-3.0-or-later
// Checking a hall-of-fame entry against its recording: the recording
// replays headless, from the start of its session, to the end of the
// entry's game, and must show the entry's score there. A recording is a
// file anyone can hand over, so its size and its length of play are
// bounded: past either, it is unverified, never a hang.
#pragma once

#include "session/hall_of_fame.h"
#include "shared_rules/run_limits.h"

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace kestrada::session {

// The world's server takes no larger run: neither does the game.
inline constexpr std::uintmax_t kMaxRunBytes = shared_rules::kMaxRunFileBytes;
// Eleven hours of play at 40 ms a slot.
inline constexpr uint64_t kMaxRunSlots = 1'000'000;

// What a recording replays to: the score shown at the end of its last game
// (the crash that follows its last event, or Exit), or why it has none.
struct RecordingReplay {
    std::optional<std::string> score; // as the dashboard shows it
    std::string failure;              // when there is no score
    uint32_t seed = 0;
    unsigned games = 0; // games started, the first one included
};
RecordingReplay replayRecording(std::string_view text, uint64_t slotBudget = kMaxRunSlots);

// The recording's text replayed to the entry's score.
Verification verifyRecording(std::string_view text, std::string_view score,
                             uint64_t slotBudget = kMaxRunSlots);

// The entry's recording in the folder's runs/, read within the size bound.
Verification verifyEntry(const std::filesystem::path& folder, const HallOfFameLine& entry,
                         uint64_t slotBudget = kMaxRunSlots);

} // namespace kestrada::session
