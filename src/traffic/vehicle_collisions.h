// SPDX-License-Identifier: GPL-3.0-or-later
// Vehicles that run into one another: the weaker of each pair is wrecked.
#pragma once

#include "app/form.h"
#include "app/phase_result.h"

namespace kestrada {

void vehicleCollisionPhase(Form& f);

} // namespace kestrada
