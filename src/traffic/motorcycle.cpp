#include "traffic/motorcycle.h"

namespace kestrada {

void motorcyclePhase(Form&) {}

} // namespace kestrada
