// SPDX-License-Identifier: GPL-3.0-or-later
// Requests waiting for a run's verification without holding a thread:
// each leaves a callback, called once, when the run is finished here or
// when its time is up, whichever comes first.
#pragma once

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <map>
#include <mutex>
#include <set>
#include <thread>

namespace kestrada::server {

class FinishWaiters {
  public:
    using Clock = std::chrono::steady_clock;
    // True when the run was finished, false when the time ran out.
    using Callback = std::function<void(bool finished)>;

    FinishWaiters();
    ~FinishWaiters(); // callbacks still waiting are dropped, never called
    FinishWaiters(const FinishWaiters&) = delete;
    FinishWaiters& operator=(const FinishWaiters&) = delete;

    // Called at once, on this thread, when the run was finished lately.
    void add(int64_t id, std::chrono::milliseconds timeout, Callback callback);
    void finished(int64_t id);
    // Calls back once the time is up (with false): a plain timer.
    void after(std::chrono::milliseconds timeout, std::function<void()> callback) {
        add(kNoRun, timeout, [callback = std::move(callback)](bool) { callback(); });
    }

  private:
    static constexpr int64_t kNoRun = 0; // run ids start at 1

    struct Waiter {
        int64_t id = 0;
        Callback callback;
    };
    void expire();

    std::mutex mutex_;
    std::condition_variable changed_;
    std::multimap<Clock::time_point, Waiter> byDeadline_;
    std::set<int64_t> recent_; // finished ids, the newest kept
    bool stopping_ = false;
    std::thread timer_;
};

} // namespace kestrada::server
