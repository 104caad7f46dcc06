// SPDX-License-Identifier: GPL-3.0-or-later
// Requests a minute from one address, counted in whole minutes.
#pragma once

#include <cstdint>
#include <mutex>
#include <string>
#include <unordered_map>

namespace kestrada::server {

class RateLimit {
  public:
    // 0: no limit.
    explicit RateLimit(uint32_t perMinute) : perMinute_(perMinute) {}
    // Counts the request; false when the address is over its limit.
    bool allow(const std::string& address, int64_t nowMs);

  private:
    struct Window {
        int64_t minute = 0;
        uint32_t count = 0;
    };
    uint32_t perMinute_;
    std::mutex mutex_;
    std::unordered_map<std::string, Window> windows_;
};

} // namespace kestrada::server
