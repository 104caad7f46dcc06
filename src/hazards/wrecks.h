// SPDX-License-Identifier: GPL-3.0-or-later
// Wrecks scroll with the road and wreck whatever runs into them.
#pragma once

#include "app/form.h"
#include "app/phase_result.h"

namespace kestrada {

void wreckScrollPhase(Form& f);
PhaseResult wreckCollisionPhase(Form& f);

} // namespace kestrada
