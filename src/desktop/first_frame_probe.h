// SPDX-License-Identifier: GPL-3.0-or-later
// Opt-in start-up measure: with KESTRADA_FIRST_FRAME_EXIT set, the program
// prints "first-frame <ns> <kB> <us>" once the watched widget has painted
// its first frame, and quits: the steady clock (which the launcher shares),
// the peak resident memory and the CPU time used up to that moment. bench/run.sh compares the
// time with the moment it launched the program.
#pragma once

class QWidget;

namespace kestrada::desktop {

// Watches the widget's first paint; does nothing unless the variable is set.
void exitAtFirstFrameIfAsked(QWidget& widget);

} // namespace kestrada::desktop
