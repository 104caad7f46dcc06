#include "tick/score_display.h"

namespace kestrada {

void scorePhase(Form&) {}

} // namespace kestrada
