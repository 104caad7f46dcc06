// SPDX-License-Identifier: GPL-3.0-or-later
// Which picture each control shows, and where that picture's file lives.
#pragma once

#include "app/control_ids.h"

#include <QColor>
#include <QString>
#include <optional>

namespace kestrada::desktop {

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
QString pictureFileName(Picture picture);

// The picture a control draws; nothing for labels, the line, the frame and
// the button.
std::optional<Picture> pictureOf(ControlId id);

// Stands in for a picture whose file is missing or broken: a plain colour,
// different for every picture so that the sprites can still be told apart.
QColor placeholderColour(Picture picture);

} // namespace kestrada::desktop
