#include "traffic/civilian_cars.h"

namespace kestrada {

void civilianCarPhase(Form&, CivilianCar) {}

} // namespace kestrada
