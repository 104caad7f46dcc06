// SPDX-License-Identifier: GPL-3.0-or-later
// The slot loop of a headless run: each 40 ms timer slot delivers its input
// events, runs one tick if the timer is on, and records the state.
#pragma once

#include "session/game.h"
#include "session/input_file.h"
#include "session/trace_writer.h"

#include <cstdint>
#include <vector>

namespace kestrada::session {

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
