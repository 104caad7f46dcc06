// SPDX-License-Identifier: GPL-3.0-or-later
#include "session/simulation.h"

#include "session/slot_runner.h"

namespace kestrada::session {

SimulationResult simulate(Game& game, const std::vector<InputEvent>& events, uint64_t slotCount,
                          TraceWriter* trace) {
    SimulationResult result;
    SlotRunner runner(game, game.form());
    auto next = events.begin();
    for (uint64_t slot = 1; slot <= slotCount; ++slot) {
        game.takeSounds();
        // The input file is the player at the keyboard: its events arrive
        // as live input at their slots.
        for (; next != events.end() && next->slot == slot; ++next) {
            runner.input(*next);
            // Exit ends the program inside the handler: nothing more happens.
            if (game.ended()) {
                result.exited = true;
                return result;
            }
        }
        const bool ticked = runner.runSlot().ticked;
        result.ticks += ticked ? 1 : 0;
        if (trace != nullptr) {
            trace->write(game.form(), slot, ticked, game.takeSounds());
        }
        result.slots = slot;
    }
    return result;
}

} // namespace kestrada::session
