// SPDX-License-Identifier: GPL-3.0-or-later
// The two civilian cars: entry, lane keeping, shoves, bumps and crashes.
#pragma once

#include "app/form.h"
#include "app/phase_result.h"

namespace kestrada {

enum class CivilianCar { One, Two };

void civilianCarPhase(Form& f, CivilianCar car);

} // namespace kestrada
