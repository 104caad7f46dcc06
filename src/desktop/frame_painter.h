// SPDX-License-Identifier: GPL-3.0-or-later
// Draws a scene with QPainter, item by item. What is drawn, in what order
// and how it looks is the scene's; this only maps it onto Qt.
#pragma once

#include "desktop/sprite_pictures.h"
#include "scene/compose.h"
#include "scene/scene.h"

#include <QPainter>
#include <vector>

namespace kestrada::desktop {

std::vector<PictureUse> pictureUses(const std::vector<scene::PictureSize>& sizes);

void paintScene(QPainter& painter, const scene::Scene& scene, const SpritePictures& pictures);

} // namespace kestrada::desktop
