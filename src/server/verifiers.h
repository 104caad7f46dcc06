// SPDX-License-Identifier: GPL-3.0-or-later
// The verifier workers: each claims the oldest queued run, replays it in a
// child process and writes the outcome. Runs queued by any server process
// sharing the database are claimed, so several servers share the work.
#pragma once

#include "server/database_clock.h"
#include "server/finish_waiters.h"
#include "server/metrics.h"
#include "server/replay_child.h"
#include "server/run_store.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace kestrada::server {

struct VerifierSettings {
    unsigned workers = 1;
    std::chrono::milliseconds lease{60000};
    ReplayLimits limits;
    // How often an idle worker looks for runs queued by other servers or
    // left behind by a crashed one.
    std::chrono::milliseconds idlePoll{500};
};

// The outcome of a replay as the store keeps it, for the claimed score.
Outcome outcomeOf(const ChildReplay& child, int64_t claimed);

class Verifiers {
  public:
    Verifiers(RunStore& store, VerifierSettings settings, std::string processName,
              Metrics* metrics = nullptr);
    ~Verifiers();
    Verifiers(const Verifiers&) = delete;
    Verifiers& operator=(const Verifiers&) = delete;

    // A run was queued here: a worker takes it now rather than at its next look.
    void wake();
    // Calls back once this process has finished the run, or the time is up.
    void whenFinished(int64_t id, std::chrono::milliseconds timeout,
                      FinishWaiters::Callback callback) {
        waiters_.add(id, timeout, std::move(callback));
    }
    void after(std::chrono::milliseconds timeout, std::function<void()> callback) {
        waiters_.after(timeout, std::move(callback));
    }
    // Counts the runs finished here, and the boards changed by hand.
    uint64_t generation() const { return generation_; }
    // The database's clock, which leases and the day follow.
    int64_t nowMs() const { return clock_.nowMs(); }
    void boardsChanged() { ++generation_; }

  private:
    void work(unsigned index);
    bool verifyOne(const std::string& owner, ReplayHelper& helper);
    void finished(int64_t id);

    RunStore& store_;
    VerifierSettings settings_;
    std::string processName_;
    std::mutex mutex_;
    std::condition_variable wake_;
    uint64_t wakes_ = 0;
    Metrics* metrics_;
    DatabaseClock clock_;
    std::chrono::steady_clock::time_point clockSynced_{};
    std::atomic<bool> stopping_{false};
    std::atomic<uint64_t> generation_{0};
    FinishWaiters waiters_;
    std::vector<std::thread> threads_; // last: stopped before the rest goes
};

int64_t nowMs();

} // namespace kestrada::server
