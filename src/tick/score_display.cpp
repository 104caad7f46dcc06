// SPDX-License-Identifier: GPL-3.0-or-later
#include "tick/score_display.h"

#include "app/score_text.h"
#include "numeric.h"

#include <cmath>

namespace kestrada {

void scorePhase(Form& f) {
    // Crawling earns nothing; above that, distance pays a quarter point per
    // pixel of speed.
    if (f.Speed > 1) {
        f.Score = f.Score + double(f.Speed) / 4.0;
    }
    f.lblScore().Caption = numberText(Int(f.Score));

    // The dial's own 3.14, not pi: the needle's sweep was drawn to match it.
    const double angle = f.Speed * 3.14 / 15.5 + 3.14 / 2 + 0.5;
    f.linSpeed.Y2 = single(std::sin(angle) * 28 + f.linSpeed.Y1);
    f.linSpeed.X2 = single(std::cos(angle) * 28 + f.linSpeed.X1);
}

} // namespace kestrada
