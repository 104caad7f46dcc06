// SPDX-License-Identifier: GPL-3.0-or-later
// The player's car against the median strip and the sides of the road.
#pragma once

#include "app/form.h"
#include "app/phase_result.h"

namespace kestrada {

PhaseResult playerMedianPhase(Form& f);

} // namespace kestrada
