// SPDX-License-Identifier: GPL-3.0-or-later
// The slot loop of a headless run: each 40 ms timer slot delivers its input
// events, runs one tick if the timer is on, and records the state.
#pragma once

#include "session/game.h"
#include "session/input_file.h"
#include "session/slot_runner.h"
#include "session/trace_writer.h"

#include <cstdint>
#include <vector>

namespace kestrada::session {

// An input file's events handed to a runner as live input at their slots,
// as the player at the keyboard would: the one way a run without a
// window, simulated or verified, meets its events.
class SlotFeed {
  public:
    // events must be in slot order and outlive the feed.
    explicit SlotFeed(const std::vector<InputEvent>& events)
        : next_(events.begin()), end_(events.end()) {}

    // Delivers the events due in `slot`; false once Exit among them has
    // ended the game, and nothing after it is delivered.
    bool deliver(SlotRunner& runner, const SlotGame& game, uint64_t slot);
    // Every event has been delivered.
    bool done() const { return next_ == end_; }

  private:
    std::vector<InputEvent>::const_iterator next_;
    std::vector<InputEvent>::const_iterator end_;
};

struct SimulationResult {
    uint64_t slots = 0; // slots completed; Exit ends a run inside its slot
    uint64_t ticks = 0;
    bool exited = false;
};

// Runs slots 1..slotCount on a started game. events must be in slot order;
// those past the last slot are never delivered. trace may be null.
SimulationResult simulate(Game& game, const std::vector<InputEvent>& events, uint64_t slotCount,
                          TraceWriter* trace);

} // namespace kestrada::session
