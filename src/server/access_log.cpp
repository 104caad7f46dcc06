// SPDX-License-Identifier: GPL-3.0-or-later
#include "server/access_log.h"

#include "server/utc_time.h"
#include "server/verifiers.h"

#include <cstdio>
#include <mutex>

namespace kestrada::server {

namespace {

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

void logAccess(const HttpRequest& req, int status, std::size_t bytes) {
    const std::chrono::duration<double, std::milli> taken =
        std::chrono::steady_clock::now() - req.started;
    const std::string line = accessLine(req, status, bytes, nowMs(), taken.count());
    static std::mutex mutex;
    std::lock_guard lock(mutex);
    std::fwrite(line.data(), 1, line.size(), stdout);
    std::fflush(stdout);
}

} // namespace kestrada::server
