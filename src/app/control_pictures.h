// SPDX-License-Identifier: GPL-3.0-or-later
// Which picture each control shows, and the file of each picture: one table
// for every front end that draws the form.
#pragma once

#include "app/control_ids.h"

#include <optional>

namespace kestrada {

enum class Picture {
    Road,
    Car,
    CarWreck,
    Median,
    Civ1,
    Civ1Wreck,
    Civ2,
    Civ2Wreck,
    Hog,
    HogWreck,
    Moto,
    MotoLeft,
    MotoRight,
    MotoWreck,
    Crater,
    Marker,
    Missile,
    MissileFlight,
    Mine,
    Boom,
    Dash,
    DashCracked,
    Icon,
};

inline constexpr int kPictureCount = static_cast<int>(Picture::Icon) + 1;

// The SVG file name inside the pictures folder, e.g. "car.svg".
const char* pictureFile(Picture picture);

// The picture a control draws; nothing for labels, the line, the frame and
// the button.
std::optional<Picture> pictureOf(ControlId id);

} // namespace kestrada
