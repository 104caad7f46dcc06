// SPDX-License-Identifier: GPL-3.0-or-later
#include "server/board_cache.h"

namespace kestrada::server {

namespace {
// Past this many keys (offsets and names asked for), all are dropped.
constexpr std::size_t kKeysKept = 10000;
} // namespace

std::optional<std::string> BoardCache::find(const std::string& key, uint64_t generation,
                                            Clock::time_point now) {
    std::lock_guard lock(mutex_);
    const auto found = entries_.find(key);
    if (found == entries_.end() || found->second.generation != generation ||
        now - found->second.at >= kFresh) {
        return std::nullopt;
    }
    return found->second.body;
}

void BoardCache::keep(const std::string& key, std::string body, uint64_t generation,
                      Clock::time_point now) {
    std::lock_guard lock(mutex_);
    if (entries_.size() >= kKeysKept) {
        entries_.clear();
    }
    entries_[key] = {std::move(body), generation, now};
}

std::optional<std::string> BoardCache::last(const std::string& key) {
    std::lock_guard lock(mutex_);
    const auto found = entries_.find(key);
    if (found == entries_.end()) {
        return std::nullopt;
    }
    return found->second.body;
}

} // namespace kestrada::server
