// SPDX-License-Identifier: GPL-3.0-or-later
// The headless mode: the whole game without a window, driven by an input
// file and written out as a trace.
#pragma once

#include <string>
#include <vector>

namespace kestrada::headless {

// Runs `kestrada --headless ...` with the arguments after the program name;
// returns the process exit status.
int run(const std::vector<std::string>& args);

} // namespace kestrada::headless
