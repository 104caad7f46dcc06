// SPDX-License-Identifier: GPL-3.0-or-later
// A run replayed in a child process of its own, with its CPU time, memory
// and wall time bounded: a hostile file or a fault in the rules costs that
// child, never the server.
#pragma once

#include "session/run_verification.h"

#include <chrono>
#include <cstdint>
#include <string_view>

namespace kestrada::server {

struct ReplayLimits {
    int cpuSeconds = 5;
    uint64_t memoryBytes = uint64_t{1} << 30;
    std::chrono::milliseconds wall{10000};
};

struct ChildReplay {
    enum class End { Replayed, OverBudget, Crashed };
    End end = End::Crashed;
    session::RecordingReplay replay; // when Replayed
};

ChildReplay replayInChild(std::string_view recording, const ReplayLimits& limits);

} // namespace kestrada::server
