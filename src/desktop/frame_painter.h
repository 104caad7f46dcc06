// SPDX-License-Identifier: GPL-3.0-or-later
// Paints one frame of the main window's client area from the model: every
// visible control in the window's drawing order. No game rule lives here.
#pragma once

#include "app/form.h"
#include "desktop/explosion_effect.h"
#include "desktop/sprite_pictures.h"

#include <QPainter>
#include <vector>

namespace kestrada::desktop {

// Every picture the frame can draw, at the size it is drawn at.
std::vector<PictureUse> picturesUsedBy(const Form& form);

// The pictures of the controls visible now: what the next frame needs.
std::vector<PictureUse> picturesShownBy(const Form& form);

void paintFrame(QPainter& painter, const Form& form, const SpritePictures& pictures,
                const ExplosionEffect& explosion);

} // namespace kestrada::desktop
