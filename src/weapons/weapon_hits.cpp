#include "weapons/weapon_hits.h"

namespace kestrada {

void weaponHitPhase(Form&) {}

} // namespace kestrada
