// SPDX-License-Identifier: GPL-3.0-or-later
#include "desktop/label_styles.h"

namespace kestrada::desktop {

namespace {
QStringList familiesOf(scene::FontFamily family) {
    QStringList families;
    for (const std::string& name : scene::familyNames(family)) {
        families << QString::fromStdString(name);
    }
    return families;
}
} // namespace

QColor colourOf(scene::Colour colour) {
    return QColor(colour.red, colour.green, colour.blue);
}

QFont fontOf(const scene::TextStyle& style) {
    QFont font;
    font.setFamilies(familiesOf(style.family));
    font.setPixelSize(style.pixelSize);
    font.setBold(style.bold);
    font.setUnderline(style.underline);
    return font;
}

int textFlagsOf(const scene::TextStyle& style) {
    const int across = style.align == scene::Align::Centre ? Qt::AlignHCenter : Qt::AlignLeft;
    return across | (style.middle ? Qt::AlignVCenter : Qt::AlignTop) | Qt::TextWordWrap;
}

QStringList arialFamilies() {
    return familiesOf(scene::FontFamily::Arial);
}

} // namespace kestrada::desktop
