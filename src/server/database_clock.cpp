// SPDX-License-Identifier: GPL-3.0-or-later
#include "server/database_clock.h"

#include <chrono>

namespace kestrada::server {

int64_t systemMs() {
    return std::chrono::duration_cast<std::chrono::milliseconds>(
               std::chrono::system_clock::now().time_since_epoch())
        .count();
}

int64_t DatabaseClock::nowMs() const {
    return local_() + offsetMs_.load();
}

void DatabaseClock::sync(RunStore& store) {
    const int64_t before = local_();
    const int64_t database = store.databaseNowMs();
    const int64_t after = local_();
    // The database read its clock about halfway through the round trip.
    offsetMs_ = database - (before + after) / 2;
}

} // namespace kestrada::server
