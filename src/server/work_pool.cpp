// SPDX-License-Identifier: GPL-3.0-or-later
#include "server/work_pool.h"

namespace kestrada::server {

WorkPool::WorkPool(unsigned threads, std::size_t maxQueued) : maxQueued_(maxQueued) {
    for (unsigned i = 0; i < threads; ++i) {
        threads_.emplace_back([this] { work(); });
    }
}

WorkPool::~WorkPool() {
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    ready_.notify_all();
    for (auto& thread : threads_) {
        thread.join();
    }
}

bool WorkPool::post(std::function<void()> task) {
    {
        std::lock_guard lock(mutex_);
        if (stopping_ || tasks_.size() >= maxQueued_) {
            return false;
        }
        tasks_.push_back(std::move(task));
    }
    ready_.notify_one();
    return true;
}

std::size_t WorkPool::queued() const {
    std::lock_guard lock(mutex_);
    return tasks_.size();
}

void WorkPool::work() {
    for (;;) {
        std::function<void()> task;
        {
            std::unique_lock lock(mutex_);
            ready_.wait(lock, [&] { return stopping_ || !tasks_.empty(); });
            if (stopping_) {
                return; // what is left is dropped with its replies
            }
            task = std::move(tasks_.front());
            tasks_.pop_front();
        }
        task();
    }
}

} // namespace kestrada::server
