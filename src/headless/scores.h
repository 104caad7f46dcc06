// SPDX-License-Identifier: GPL-3.0-or-later
// `kestrada --scores [--data-dir DIR]`: the hall of fame on stdout, each
// entry checked against its recording, without a window.
#pragma once

#include <string>
#include <vector>

namespace kestrada::headless {

// Runs `kestrada --scores ...` with the arguments after the program name;
// returns the process exit status.
int printScores(const std::vector<std::string>& args);

} // namespace kestrada::headless
