// SPDX-License-Identifier: GPL-3.0-or-later
// Mines and missiles striking vehicles, and missiles clearing wrecks.
#pragma once

#include "app/form.h"
#include "app/phase_result.h"

namespace kestrada {

void weaponHitPhase(Form& f);

} // namespace kestrada
