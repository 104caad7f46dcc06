// SPDX-License-Identifier: GPL-3.0-or-later
#include "server/rate_limit.h"

namespace kestrada::server {

namespace {
// Past this many addresses, those of earlier minutes are forgotten.
constexpr std::size_t kAddressesKept = 100000;
} // namespace

bool RateLimit::allow(const std::string& address, int64_t nowMs) {
    if (perMinute_ == 0) {
        return true;
    }
    const int64_t minute = nowMs / 60000;
    std::lock_guard lock(mutex_);
    if (windows_.size() > kAddressesKept) {
        std::erase_if(windows_, [&](const auto& entry) { return entry.second.minute != minute; });
    }
    Window& window = windows_[address];
    if (window.minute != minute) {
        window = {minute, 0};
    }
    if (window.count >= perMinute_) {
        return false;
    }
    ++window.count;
    return true;
}

} // namespace kestrada::server
