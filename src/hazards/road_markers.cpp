// SPDX-License-Identifier: GPL-3.0-or-later
#include "hazards/road_markers.h"

#include "numeric.h"

namespace kestrada {

void markerPhase(Form& f) {
    for (f.MarkerIndex = 1; f.MarkerIndex <= 7; ++f.MarkerIndex) {
        Control& marker = f.imgMarker(f.MarkerIndex);
        marker.Top = single(double(f.Speed) + marker.Top);
    }
    // A dash past the bottom goes up by the whole seven-dash period, so the
    // spacing never drifts however far the car drives.
    for (f.MarkerIndex = 1; f.MarkerIndex <= 7; ++f.MarkerIndex) {
        Control& marker = f.imgMarker(f.MarkerIndex);
        if (marker.Top >= f.imgRoad().Height) {
            marker.Top = single(double(marker.Top) - double(marker.Height) * 14);
        }
    }
}

} // namespace kestrada
