// SPDX-License-Identifier: GPL-3.0-or-later
// The scene of the main window's client area from the model: every visible
// control in the window's drawing order, the burst of a hit, the needle.
#pragma once

#include "app/form.h"
#include "scene/explosion.h"
#include "scene/scene.h"

#include <vector>

namespace kestrada::scene {

// overlay: items of the front end's session drawn over the road's, under
// the boxes above them.
Scene composeScene(const Form& form, const ExplosionEffect& explosion, const Scene& overlay = {});

// The key of the item that draws a control's own picture or text.
uint32_t sceneKey(ControlId id);

struct PictureSize {
    Picture picture;
    int width = 0; // window pixels
    int height = 0;

    bool operator==(const PictureSize&) const = default;
};

// Every picture a frame can draw, at each size it is rendered at.
std::vector<PictureSize> picturesUsedBy(const Form& form);
// The pictures a composed scene draws.
std::vector<PictureSize> picturesIn(const Scene& scene);

} // namespace kestrada::scene
