// SPDX-License-Identifier: GPL-3.0-or-later
// Craters: spawning above the road, scrolling, and the player's car.
#pragma once

#include "app/form.h"
#include "app/phase_result.h"

namespace kestrada {

void craterPhase(Form& f);
PhaseResult playerCraterPhase(Form& f);

} // namespace kestrada
