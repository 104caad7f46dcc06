// SPDX-License-Identifier: GPL-3.0-or-later
#include "desktop/picture_catalogue.h"

#include <array>

namespace kestrada::desktop {

namespace {
// In the order of Picture.
constexpr std::array<QRgb, kPictureCount> kPlaceholders = {
    0x505050, 0x2060e0, 0x102050, 0x40a040, 0xe0e020, 0x707010, 0x20e0e0, 0x107070,
    0xe02020, 0x701010, 0xe020e0, 0xc040c0, 0xa060a0, 0x601060, 0x604020, 0xffffff,
    0xff8000, 0xffb060, 0x000000, 0xffe080, 0x8080c0, 0x404080, 0x2060e0,
};
} // namespace

QString pictureFileName(Picture picture) {
    return QString::fromLatin1(pictureFile(picture));
}

QColor placeholderColour(Picture picture) {
    return QColor::fromRgb(kPlaceholders[static_cast<std::size_t>(picture)]);
}

} // namespace kestrada::desktop
