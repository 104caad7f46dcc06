#include "hazards/median.h"

namespace kestrada {

PhaseResult playerMedianPhase(Form&) { return PhaseResult::Continue; }

} // namespace kestrada
