// SPDX-License-Identifier: GPL-3.0-or-later
#include "server/utc_time.h"

#include <ctime>

namespace kestrada::server {

namespace {
std::string formatted(int64_t ms, const char* format) {
    const auto seconds = static_cast<std::time_t>(ms / 1000);
    std::tm utc{};
    gmtime_r(&seconds, &utc);
    char text[32];
    std::strftime(text, sizeof text, format, &utc);
    return text;
}
} // namespace

std::string utcDay(int64_t ms) {
    return formatted(ms, "%Y-%m-%d");
}

std::string utcTime(int64_t ms) {
    return formatted(ms, "%Y-%m-%dT%H:%M:%SZ");
}

bool isUtcDay(std::string_view text) {
    std::tm day{};
    const std::string copy(text);
    const char* end = strptime(copy.c_str(), "%Y-%m-%d", &day);
    if (end == nullptr || *end != '\0' || text.size() != 10) {
        return false;
    }
    // Written back, a day that does not exist (2026-02-30) comes out another.
    const std::time_t seconds = timegm(&day);
    return utcDay(static_cast<int64_t>(seconds) * 1000) == text;
}

} // namespace kestrada::server
