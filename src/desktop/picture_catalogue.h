// SPDX-License-Identifier: GPL-3.0-or-later
// The pictures' files as Qt names them, and their stand-in colours.
#pragma once

#include "app/control_pictures.h"

#include <QColor>
#include <QString>

namespace kestrada::desktop {

// The SVG file name inside the pictures folder, e.g. "car.svg".
QString pictureFileName(Picture picture);

// Stands in for a picture whose file is missing or broken: a plain colour,
// different for every picture so that the sprites can still be told apart.
QColor placeholderColour(Picture picture);

} // namespace kestrada::desktop
