// SPDX-License-Identifier: GPL-3.0-or-later
// A raced ghost over the player's road: its car faint, at its own Left and
// as far up the road as it leads, or, when that is off the road, a marker
// at the top or bottom edge saying by how much it leads or trails; and its
// score, a small second line under the player's on the dashboard.
#pragma once

#include "app/form.h"
#include "scene/scene.h"

#include <cstdint>
#include <string>

namespace kestrada::scene {

// How faint the ghost's car is drawn.
inline constexpr double kGhostOpacity = 0.45;

struct GhostView {
    const Form& ghost;
    int64_t gap = 0;   // road pixels the ghost leads by, negative when it trails
    std::string words; // the race's end, shown over the road; "" while it runs
};

// The ghost's items, drawn over the road's and under the boxes above it,
// the race's end words with them.
Scene ghostOverlay(const Form& player, const GhostView& view);

} // namespace kestrada::scene
