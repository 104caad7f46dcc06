// SPDX-License-Identifier: GPL-3.0-or-later
// How each label of the main window looks: font, colour and alignment.
// Sizes are pixels at 96 dpi, so the layout is the same on every screen.
#pragma once

#include "app/control_ids.h"

#include <QColor>
#include <QFont>
#include <QStringList>

namespace kestrada::desktop {

struct LabelStyle {
    QFont font;
    QColor colour;
    int flags = 0; // Qt::AlignmentFlag | Qt::TextFlag for QPainter::drawText
};

// The style of a label or of the button's caption.
const LabelStyle& labelStyle(ControlId id);

// Arial first, then the free fonts with its metrics.
const QStringList& arialFamilies();

// Point sizes of the window's design, as pixels at 96 dpi.
int pointsToPixels(double points);

} // namespace kestrada::desktop
