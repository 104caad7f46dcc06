#include "traffic/road_hog.h"

namespace kestrada {

PhaseResult roadHogPhase(Form&) { return PhaseResult::Continue; }

} // namespace kestrada
