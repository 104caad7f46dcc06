// SPDX-License-Identifier: GPL-3.0-or-later
// A vehicle crashes: the player is paid by their speed, the wreck takes the
// vehicle's place and the vehicle leaves play in the same step.
#pragma once

#include "app/form.h"

namespace kestrada {

inline void crash(Form& f, Control& vehicle, Control& wreck, double reward) {
    f.Score = double(f.Speed) / 25.0 * reward + f.Score;
    wreck.Left = vehicle.Left;
    wreck.Top = vehicle.Top;
    wreck.Visible = true;
    vehicle.Visible = false;
}

} // namespace kestrada
