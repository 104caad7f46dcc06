// SPDX-License-Identifier: GPL-3.0-or-later
#include "session/headless_host.h"

#include <chrono>
#include <ctime>

namespace kestrada::session {

// The local wall clock, as the windowed game seeds from it.
uint32_t HeadlessHost::millisecondsSinceMidnight() {
    using namespace std::chrono;
    const auto now = system_clock::now();
    const std::time_t seconds = system_clock::to_time_t(now);
    std::tm local{};
    if (localtime_r(&seconds, &local) == nullptr) {
        return 0;
    }
    const auto millis = duration_cast<milliseconds>(now.time_since_epoch()).count() % 1000;
    const long long sinceMidnight =
        ((local.tm_hour * 60LL + local.tm_min) * 60LL + local.tm_sec) * 1000LL + millis;
    return static_cast<uint32_t>(sinceMidnight);
}

} // namespace kestrada::session
