// SPDX-License-Identifier: GPL-3.0-or-later
// The weapon indicator and the flight of the missile and the mine.
#pragma once

#include "app/form.h"
#include "app/phase_result.h"

namespace kestrada {

// Head of the tick: a shot that has left the road is over.
void weaponCleanUp(Form& f);
void weaponPhase(Form& f);

} // namespace kestrada
