#include "hazards/craters.h"

namespace kestrada {

void craterPhase(Form&) {}

PhaseResult playerCraterPhase(Form&) { return PhaseResult::Continue; }

} // namespace kestrada
