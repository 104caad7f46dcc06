// SPDX-License-Identifier: GPL-3.0-or-later
// The scene's text styles as Qt draws them.
#pragma once

#include "scene/scene.h"

#include <QColor>
#include <QFont>
#include <QStringList>

namespace kestrada::desktop {

QColor colourOf(scene::Colour colour);
QFont fontOf(const scene::TextStyle& style);
// Qt::AlignmentFlag | Qt::TextFlag for QPainter::drawText.
int textFlagsOf(const scene::TextStyle& style);

// Arial first, then the free fonts with its metrics.
QStringList arialFamilies();

} // namespace kestrada::desktop
