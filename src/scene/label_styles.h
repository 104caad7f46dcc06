// SPDX-License-Identifier: GPL-3.0-or-later
// How each label of the main window looks: font, colour and alignment.
#pragma once

#include "app/control_ids.h"
#include "scene/scene.h"

namespace kestrada::scene {

// The style of a label or of the button's caption.
const TextStyle& labelStyle(ControlId id);

// Point sizes of the window's design, as pixels at 96 dpi.
int pointsToPixels(double points);

} // namespace kestrada::scene
