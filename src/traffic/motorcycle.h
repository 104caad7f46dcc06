// SPDX-License-Identifier: GPL-3.0-or-later
// The motorcycle: rides up the road, swerves from craters, always loses.
#pragma once

#include "app/form.h"
#include "app/phase_result.h"

namespace kestrada {

void motorcyclePhase(Form& f);

} // namespace kestrada
