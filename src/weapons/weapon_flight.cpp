#include "weapons/weapon_flight.h"

namespace kestrada {

void weaponCleanUp(Form&) {}

void weaponPhase(Form&) {}

} // namespace kestrada
