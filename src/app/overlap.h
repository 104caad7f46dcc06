// SPDX-License-Identifier: GPL-3.0-or-later
// How the tick decides that two sprites touch. Every side is formed in
// double and rounded to single before it is compared, as everywhere.
#pragma once

#include "app/controls.h"
#include "numeric.h"

namespace kestrada {

// The open rectangles of a and b intersect: sprites that only share an edge
// or a corner do not touch. Visibility is the caller's business.
inline bool overlaps(const Control& a, const Control& b) {
    return single(double(a.Left) + a.Width) > b.Left && single(double(a.Left) - b.Width) < b.Left &&
           single(double(a.Top) - b.Height) < b.Top && single(double(a.Top) + a.Height) > b.Top;
}

// A vehicle against a crater: like overlaps(), except that the crater's
// bottom edge lying on the vehicle's top edge already counts.
inline bool touchesCrater(const Control& v, const Control& crater) {
    return crater.Visible && v.Left < single(double(crater.Left) + crater.Width) &&
           single(double(v.Left) + v.Width) > crater.Left &&
           v.Top <= single(double(crater.Top) + crater.Height) &&
           single(double(v.Top) + v.Height) > crater.Top;
}

// Both sprites overlap horizontally or share a vertical edge; heights play
// no part. Used to pick a free lane.
inline bool clashesHorizontally(const Control& a, const Control& b) {
    return single(double(a.Left) + a.Width) >= b.Left && single(double(b.Left) + b.Width) >= a.Left;
}

} // namespace kestrada
