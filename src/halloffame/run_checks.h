// SPDX-License-Identifier: GPL-3.0-or-later
// Where the hall of fame's runs are checked, so that no check delays a
// frame: on a thread of its own where there are threads, else one entry at
// a time between frames.
#pragma once

#include "halloffame/hall_of_fame.h"

#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace kestrada::session {

// The checks done, each under its entry's run and score.
using RunChecksDone = std::vector<std::pair<std::string, Verification>>;

// An entry's key among the checks.
std::string checkKey(const HallOfFameLine& line);

class RunChecks {
  public:
    virtual ~RunChecks() = default;
    // Starts checking these entries; checks still running for earlier ones
    // finish unread.
    virtual void start(const std::filesystem::path& folder, std::vector<HallOfFameLine> lines) = 0;
    // The checks done since the last call, never waiting for one.
    virtual RunChecksDone done() = 0;
};

// One check at a time, on each call of done(): for a build without threads.
std::unique_ptr<RunChecks> steppedRunChecks();
// The checks on a thread of their own (not in a build without threads).
std::unique_ptr<RunChecks> threadedRunChecks();

} // namespace kestrada::session
