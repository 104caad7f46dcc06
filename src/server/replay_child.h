// SPDX-License-Identifier: GPL-3.0-or-later
// A run replayed in a child process of its own, with its CPU time, memory
// and wall time bounded: a hostile file or a fault in the rules costs that
// child, never the server.
#pragma once

#include "session/run_verification.h"

#include <chrono>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace kestrada::server {

// The hidden argument that makes kestrada-server the replay helper; with
// kAllocateWithoutBound after it, the helper only allocates until its
// memory limit stops it (a self-test of that limit: no run file can).
inline constexpr const char* kReplayChildFlag = "--replay-child";
inline constexpr const char* kAllocateWithoutBound = "--allocate-without-bound";

struct ReplayLimits {
    int cpuSeconds = 5;
    uint64_t memoryBytes = uint64_t{1} << 30; // of the replay's own data
    std::chrono::milliseconds wall{10000};
    // The program started for each replay, and its arguments: this server
    // itself, as a helper that replays the run on its standard input.
    std::string program = "/proc/self/exe";
    std::vector<std::string> arguments{kReplayChildFlag};
};

struct ChildReplay {
    enum class End { Replayed, OverBudget, Crashed };
    End end = End::Crashed;
    session::RecordingReplay replay; // when Replayed
};

ChildReplay replayInChild(std::string_view recording, const ReplayLimits& limits);

// The helper's side: reads the run from standard input and writes the answer
// to standard output; the process exit status.
int replayChildMain(const std::vector<std::string>& args);

} // namespace kestrada::server
