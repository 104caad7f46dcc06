// SPDX-License-Identifier: GPL-3.0-or-later
// The distance score, the score label and the speedometer needle.
#pragma once

#include "app/form.h"
#include "app/phase_result.h"

namespace kestrada {

void scorePhase(Form& f);

} // namespace kestrada
