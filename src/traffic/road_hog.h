// SPDX-License-Identifier: GPL-3.0-or-later
// The road hog: enters past 2500 points, hunts the car and shoves it.
#pragma once

#include "app/form.h"
#include "app/phase_result.h"

namespace kestrada {

PhaseResult roadHogPhase(Form& f);

} // namespace kestrada
