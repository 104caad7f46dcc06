// SPDX-License-Identifier: GPL-3.0-or-later
// Threads for the work that waits on the database, with a bounded queue:
// past it a request is turned away at once rather than left to wait.
#pragma once

#include <condition_variable>
#include <cstddef>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

namespace kestrada::server {

class WorkPool {
  public:
    WorkPool(unsigned threads, std::size_t maxQueued);
    ~WorkPool();
    WorkPool(const WorkPool&) = delete;
    WorkPool& operator=(const WorkPool&) = delete;

    // False, and the task dropped, when the queue is full.
    bool post(std::function<void()> task);
    std::size_t queued() const;

  private:
    void work();

    std::size_t maxQueued_;
    mutable std::mutex mutex_;
    std::condition_variable ready_;
    std::deque<std::function<void()>> tasks_;
    bool stopping_ = false;
    std::vector<std::thread> threads_;
};

} // namespace kestrada::server
