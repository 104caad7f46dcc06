#include "hazards/wrecks.h"

namespace kestrada {

void wreckScrollPhase(Form&) {}

PhaseResult wreckCollisionPhase(Form&) { return PhaseResult::Continue; }

} // namespace kestrada
