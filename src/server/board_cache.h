// SPDX-License-Identifier: GPL-3.0-or-later
// Board answers kept for a moment: a board is read far more often than it
// changes. A run this process verifies clears them at once; what another
// server sharing the database verifies shows within the moment.
#pragma once

#include <chrono>
#include <cstdint>
#include <mutex>
#include <optional>
#include <string>
#include <unordered_map>

namespace kestrada::server {

class BoardCache {
  public:
    using Clock = std::chrono::steady_clock;
    static constexpr std::chrono::milliseconds kFresh{250};

    // The answer kept under the key, when it is fresh and no run has been
    // finished here since (`generation` counts them).
    std::optional<std::string> find(const std::string& key, uint64_t generation,
                                    Clock::time_point now);
    void keep(const std::string& key, std::string body, uint64_t generation, Clock::time_point now);
    // The last answer kept under the key, however old: for when the
    // database does not answer.
    std::optional<std::string> last(const std::string& key);

  private:
    struct Entry {
        std::string body;
        uint64_t generation = 0;
        Clock::time_point at;
    };
    std::mutex mutex_;
    std::unordered_map<std::string, Entry> entries_;
};

} // namespace kestrada::server
