#include "traffic/vehicle_collisions.h"

namespace kestrada {

void vehicleCollisionPhase(Form&) {}

} // namespace kestrada
