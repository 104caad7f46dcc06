// SPDX-License-Identifier: GPL-3.0-or-later
// `kestrada --scores [--data-dir DIR]`: the hall of fame on stdout, each
// entry checked against its recording, without a window.
#pragma once

#include "session/hall_of_fame.h"

#include <string>
#include <vector>

namespace kestrada::headless {

// "rank  score  name  date  verified" or "... unverified (reason)", the name
// padded to its twelve characters.
std::string scoreLine(const session::RankedEntry& entry);

// Runs `kestrada --scores ...` with the arguments after the program name;
// returns the process exit status.
int printScores(const std::vector<std::string>& args);

} // namespace kestrada::headless
