// SPDX-License-Identifier: GPL-3.0-or-later
// Whether a game is on the road: neither crashed nor paused. The music,
// the panel, the played session and the scene's motion all ask this one.
#pragma once

#include "app/form.h"

namespace kestrada {

inline bool running(const Form& form) {
    return !form.GameOver && !form.lblPaused().Visible;
}

} // namespace kestrada
