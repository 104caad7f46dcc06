// SPDX-License-Identifier: GPL-3.0-or-later
#include "server/access_log.h"

#include "server/utc_time.h"
#include "server/verifiers.h"

#include <chrono>
#include <cstdio>

namespace kestrada::server {

namespace {

// Lines not yet written past which new ones are dropped (and counted): a
// reader that stops reading must not stop the server nor take its memory.
constexpr std::size_t kMaxPendingBytes = 4 * 1024 * 1024;
// After a write, the lines of this long go out together.
constexpr std::chrono::milliseconds kGather{10};

// Control characters and spaces would let a client forge or split lines.
std::string printable(const std::string& text) {
    std::string out;
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        out += byte <= ' ' || byte == 0x7f ? '_' : c;
    }
    return out;
}

} // namespace

std::string accessLine(const HttpRequest& req, int status, std::size_t bytes, int64_t nowMs,
                       double milliseconds) {
    char taken[32];
    std::snprintf(taken, sizeof taken, "%.1f", milliseconds);
    return utcTime(nowMs) + ' ' + printable(req.client) + ' ' + printable(req.method) + ' ' +
           printable(req.path) + ' ' + std::to_string(status) + ' ' + std::to_string(bytes) + ' ' +
           taken + "ms\n";
}

AccessLog::AccessLog() : flusher_([this] { flushLoop(); }) {}

AccessLog::~AccessLog() {
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    wake_.notify_all();
    flusher_.join();
}

void AccessLog::add(const HttpRequest& req, int status, std::size_t bytes) {
    const std::chrono::duration<double, std::milli> taken =
        std::chrono::steady_clock::now() - req.started;
    const std::string line = accessLine(req, status, bytes, nowMs(), taken.count());
    bool first = false;
    {
        std::lock_guard lock(mutex_);
        if (pending_.size() + line.size() > kMaxPendingBytes) {
            ++dropped_;
            return;
        }
        first = idle_ && pending_.empty();
        pending_ += line;
    }
    // Only a writer waiting for a first line needs waking: a busy one
    // looks for more after its pause.
    if (first) {
        wake_.notify_one();
    }
}

void AccessLog::flushLoop() {
    std::unique_lock lock(mutex_);
    while (!stopping_) {
        idle_ = true;
        wake_.wait(lock, [this] { return stopping_ || !pending_.empty(); });
        idle_ = false;
        std::string lines;
        lines.swap(pending_);
        if (dropped_ != 0) {
            lines += "access log: " + std::to_string(dropped_) + " lines dropped\n";
            dropped_ = 0;
        }
        lock.unlock();
        write(lines);
        lock.lock();
        wake_.wait_for(lock, kGather, [this] { return stopping_; });
    }
    write(pending_);
}

void AccessLog::write(const std::string& lines) {
    if (lines.empty()) {
        return;
    }
    std::fwrite(lines.data(), 1, lines.size(), stdout);
    std::fflush(stdout);
}

} // namespace kestrada::server
