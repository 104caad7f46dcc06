// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

namespace kestrada {

// A phase that has called Die ends the tick: no later phase runs.
enum class PhaseResult { Continue, EndTick };

} // namespace kestrada
