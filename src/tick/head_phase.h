// SPDX-License-Identifier: GPL-3.0-or-later
// The head of every tick: read-out, music start, the clean-up of a spent
// weapon, counter, the tick's roll, the other vehicles' own speeds and the
// median's coming and going.
#pragma once

#include "app/form.h"
#include "app/phase_result.h"

namespace kestrada {

void headPhase(Form& f);

} // namespace kestrada
