// SPDX-License-Identifier: GPL-3.0-or-later
// Checking a score against its recording: the recording replays headless,
// from the start of its session, to the end of the game that scored, and
// must show the score there. A recording is a
// file anyone can hand over, so its size and its length of play are
// bounded: past either, it is unverified, never a hang.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace kestrada::session {

inline constexpr std::uintmax_t kMaxRunBytes = 8u << 20;
// Eleven hours of play at 40 ms a slot.
inline constexpr uint64_t kMaxRunSlots = 1'000'000;

struct Verification {
    bool verified = false;
    std::string reason; // why not, when not
};

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

} // namespace kestrada::session
