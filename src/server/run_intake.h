// SPDX-License-Identifier: GPL-3.0-or-later
// What a run file must be before the server keeps and replays it: small
// enough, text, a recording of this version of the rules, and a file the
// game's own reader accepts whole.
#pragma once

#include "shared_rules/run_limits.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace kestrada::server {

using shared_rules::kMaxRunFileBytes;

struct RunIntake {
    int status = 0; // an HTTP error status, 0 when the run may be queued
    std::string reason;
    uint32_t seed = 0;
};

RunIntake checkRunFile(std::string_view text);

// The claimed score from the query: a whole number the game could show.
std::optional<int64_t> parseClaimedScore(std::string_view text);

// Lower-case hexadecimal SHA-256 of the file: the same file, the same run.
std::string sha256Hex(std::string_view text);

} // namespace kestrada::server
