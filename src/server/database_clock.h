// SPDX-License-Identifier: GPL-3.0-or-later
// One clock for every server sharing a database: the database's. Leases
// and "today" follow it, so two machines whose clocks disagree neither
// verify a run twice nor disagree on the day. Read as this machine's clock
// plus an offset taken from the database now and then.
#pragma once

#include "server/run_store.h"

#include <atomic>
#include <cstdint>
#include <functional>
#include <utility>

namespace kestrada::server {

// This machine's clock, in milliseconds since 1970.
int64_t systemMs();

class DatabaseClock {
  public:
    using LocalClock = std::function<int64_t()>;
    // `local` stands for this machine's clock (a test's can be set wrong).
    explicit DatabaseClock(LocalClock local = systemMs) : local_(std::move(local)) {}

    // Milliseconds since 1970 on the database's clock, as last measured.
    int64_t nowMs() const;
    // Measures the offset again; throws DatabaseError when it cannot.
    void sync(RunStore& store);

  private:
    LocalClock local_;
    std::atomic<int64_t> offsetMs_{0};
};

} // namespace kestrada::server
