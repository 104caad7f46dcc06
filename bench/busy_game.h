// SPDX-License-Identifier: GPL-3.0-or-later
// A busy seeded game for the benchmarks: played by a simple driver until
// traffic, a crater and a shot are all on the road at once, so that every
// phase of a tick and most of the frame's sprites have work to do.
#pragma once

#include "app/form.h"
#include "testing/test_game.h"

namespace kestrada::bench {

// How many of the other vehicles are on the road.
int traffic(const Form& f);

// Keeps a shot out whenever it can: part of the busy game being measured.
void fireWhenReady(Form& f);

// The game once it is busy; the same game for every benchmark in the run.
class BusyGame {
  public:
    static BusyGame& instance();

    testing::TestGame& game() { return game_; }
    const Form& busyState() const { return busyState_; }
    long ticksToFind() const { return ticksToFind_; }

  private:
    BusyGame();

    // Form_Load creates the high-score file, in a scratch folder of its own.
    testing::TestGame game_{3};
    Form busyState_;
    long ticksToFind_ = 0;
};

} // namespace kestrada::bench
