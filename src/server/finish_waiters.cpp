// SPDX-License-Identifier: GPL-3.0-or-later
#include "server/finish_waiters.h"

#include <vector>

namespace kestrada::server {

namespace {
constexpr std::size_t kRecentKept = 4096;
} // namespace

FinishWaiters::FinishWaiters() : timer_([this] { expire(); }) {}

FinishWaiters::~FinishWaiters() {
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    changed_.notify_all();
    timer_.join();
}

void FinishWaiters::add(int64_t id, std::chrono::milliseconds timeout, Callback callback) {
    {
        std::lock_guard lock(mutex_);
        if (recent_.count(id) == 0) {
            byDeadline_.emplace(Clock::now() + timeout, Waiter{id, std::move(callback)});
            changed_.notify_all();
            return;
        }
    }
    callback(true);
}

void FinishWaiters::finished(int64_t id) {
    std::vector<Callback> due;
    {
        std::lock_guard lock(mutex_);
        recent_.insert(id);
        if (recent_.size() > kRecentKept) {
            recent_.erase(recent_.begin());
        }
        for (auto at = byDeadline_.begin(); at != byDeadline_.end();) {
            if (at->second.id == id) {
                due.push_back(std::move(at->second.callback));
                at = byDeadline_.erase(at);
            } else {
                ++at;
            }
        }
    }
    for (auto& callback : due) {
        callback(true);
    }
}

void FinishWaiters::expire() {
    std::unique_lock lock(mutex_);
    while (!stopping_) {
        if (byDeadline_.empty()) {
            changed_.wait(lock);
            continue;
        }
        const auto first = byDeadline_.begin()->first;
        if (Clock::now() < first) {
            changed_.wait_until(lock, first);
            continue;
        }
        std::vector<Callback> due;
        while (!byDeadline_.empty() && byDeadline_.begin()->first <= Clock::now()) {
            due.push_back(std::move(byDeadline_.begin()->second.callback));
            byDeadline_.erase(byDeadline_.begin());
        }
        lock.unlock();
        for (auto& callback : due) {
            callback(false);
        }
        lock.lock();
    }
}

} // namespace kestrada::server
