// SPDX-License-Identifier: GPL-3.0-or-later
// Runs replayed in a helper process, with each run's CPU time and wall
// time and the helper's memory bounded: a hostile file or a fault in the
// rules costs that helper, never the server. A verifier keeps its helper
// for run after run, and starts a new one after a helper is lost.
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
    // The helper program and its arguments: kestrada-server-replay, or this
    // server itself, replaying the runs sent on its standard input.
    std::string program = "/proc/self/exe";
    std::vector<std::string> arguments{kReplayChildFlag};
};

struct ChildReplay {
    enum class End { Replayed, OverBudget, Crashed };
    End end = End::Crashed;
    session::RecordingReplay replay; // when Replayed
};

class ReplayHelper {
  public:
    explicit ReplayHelper(ReplayLimits limits) : limits_(std::move(limits)) {}
    ~ReplayHelper() { stop(); }
    ReplayHelper(const ReplayHelper&) = delete;
    ReplayHelper& operator=(const ReplayHelper&) = delete;

    // Starts the helper first when there is none.
    ChildReplay replay(std::string_view recording);

  private:
    bool start();
    void stop();

    ReplayLimits limits_;
    int pid_ = -1;
    int socket_ = -1; // the run out, the answer back
};

// One run in a helper of its own.
ChildReplay replayInChild(std::string_view recording, const ReplayLimits& limits);

// The helper's side: reads runs from standard input ("LENGTH\n" then the
// bytes) and writes each answer to standard output the same way, until the
// input ends; the process exit status.
int replayChildMain(const std::vector<std::string>& args);

} // namespace kestrada::server
