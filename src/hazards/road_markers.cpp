#include "hazards/road_markers.h"

namespace kestrada {

void markerPhase(Form&) {}

} // namespace kestrada
