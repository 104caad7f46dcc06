// SPDX-License-Identifier: GPL-3.0-or-later
#include "session/simulation.h"

namespace kestrada::session {

bool SlotFeed::deliver(SlotRunner& runner, const SlotGame& game, uint64_t slot) {
    for (; next_ != end_ && next_->slot == slot; ++next_) {
        runner.input(*next_);
        if (game.ended()) {
            ++next_;
            return false;
        }
    }
    return true;
}

SimulationResult simulate(Game& game, const std::vector<InputEvent>& events, uint64_t slotCount,
                          TraceWriter* trace) {
    SimulationResult result;
    SlotRunner runner(game, game.form());
    SlotFeed feed(events);
    for (uint64_t slot = 1; slot <= slotCount; ++slot) {
        game.takeSounds();
        // Exit ends the program inside the handler: nothing more happens.
        if (!feed.deliver(runner, game, slot)) {
            result.exited = true;
            return result;
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
