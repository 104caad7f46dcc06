// SPDX-License-Identifier: GPL-3.0-or-later
// The centre-line dashes that make the road seem to move.
#pragma once

#include "app/form.h"
#include "app/phase_result.h"

namespace kestrada {

void markerPhase(Form& f);

} // namespace kestrada
