// SPDX-License-Identifier: GPL-3.0-or-later
// The scene drawn on the page's canvas, item by item, with Canvas 2D.
#pragma once

#include "scene/scene.h"

#include <string>

namespace kestrada::web {

// title: the page's, which follows the state of a replay; hidePointer: a
// running game hides the pointer over the canvas.
void drawScene(const scene::Scene& scene, const std::string& title, bool hidePointer);
// Asks for every picture at once, so none is missing on the frame that
// first shows it.
void preloadPictures();

} // namespace kestrada::web
