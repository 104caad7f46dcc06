// SPDX-License-Identifier: GPL-3.0-or-later
#include "server/database_clock.h"

#include <chrono>

namespace kestrada::server {

namespace {

int64_t localMs() {
    return std::chrono::duration_cast<std::chrono::milliseconds>(
               std::chrono::system_clock::now().time_since_epoch())
        .count();
}

} // namespace

int64_t DatabaseClock::nowMs() const {
    return localMs() + offsetMs_.load();
}

void DatabaseClock::sync(RunStore& store) {
    const int64_t before = localMs();
    const int64_t database = store.databaseNowMs();
    const int64_t after = localMs();
    // The database read its clock about halfway through the round trip.
    offsetMs_ = database - (before + after) / 2;
}

} // namespace kestrada::server
