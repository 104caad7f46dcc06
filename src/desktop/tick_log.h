// SPDX-License-Identifier: GPL-3.0-or-later
// Opt-in timing log: with KESTRADA_TICK_LOG=FILE, one line per tick,
// "<steady clock ns> <TickCount> <Speed>", from which bench/run.sh checks
// the regularity of the slots. The tick count tells a late tick from
// the pause of a game over; the speed shows that the car was driving. In
// a race a fourth field follows, "ghost=<its score>/<its lead in road
// pixels>".
#pragma once

#include "app/form.h"

namespace kestrada::desktop {

class MainWindow;

// Does nothing unless the variable is set.
void logTicksIfAsked(const MainWindow& window);

// With KESTRADA_SOUND_LOG=FILE, one line each time a player's play call
// starts its sound, "<steady clock ns> start <Start|Crash|Music>": the
// moments the sound test times what it hears from.
void logSoundStartsIfAsked(const Form& form);

} // namespace kestrada::desktop
