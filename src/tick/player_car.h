// SPDX-License-Identifier: GPL-3.0-or-later
// The player's car: slowing off the road, speed from the held keys, height
// on the screen and steering.
#pragma once

#include "app/form.h"
#include "app/phase_result.h"

namespace kestrada {

void playerCarPhase(Form& f);

} // namespace kestrada
