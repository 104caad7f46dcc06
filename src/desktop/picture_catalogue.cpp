// SPDX-License-Identifier: GPL-3.0-or-later
#include "desktop/picture_catalogue.h"

#include <array>

namespace kestrada::desktop {

namespace {
struct PictureInfo {
    const char* file;
    QRgb placeholder;
};

constexpr std::array<PictureInfo, kPictureCount> kPictures = {{
    {"road.svg", 0x505050},         {"car.svg", 0x2060e0},        {"car_wreck.svg", 0x102050},
    {"median.svg", 0x40a040},       {"civ1.svg", 0xe0e020},       {"civ1_wreck.svg", 0x707010},
    {"civ2.svg", 0x20e0e0},         {"civ2_wreck.svg", 0x107070}, {"hog.svg", 0xe02020},
    {"hog_wreck.svg", 0x701010},    {"moto.svg", 0xe020e0},       {"moto_left.svg", 0xc040c0},
    {"moto_right.svg", 0xa060a0},   {"moto_wreck.svg", 0x601060}, {"crater.svg", 0x604020},
    {"marker.svg", 0xffffff},       {"missile.svg", 0xff8000},    {"missile_flight.svg", 0xffb060},
    {"mine.svg", 0x000000},         {"boom.svg", 0xffe080},       {"dash.svg", 0x8080c0},
    {"dash_cracked.svg", 0x404080}, {"icon.svg", 0x2060e0},
}};
} // namespace

QString pictureFileName(Picture picture) {
    return QString::fromLatin1(kPictures[static_cast<std::size_t>(picture)].file);
}

QColor placeholderColour(Picture picture) {
    return QColor::fromRgb(kPictures[static_cast<std::size_t>(picture)].placeholder);
}

std::optional<Picture> pictureOf(ControlId id) {
    using enum ControlId;
    switch (id) {
    case imgRoad:
        return Picture::Road;
    case picCar:
    case imgCar:
    case imgCarPic:
        return Picture::Car;
    case imgWreck:
        return Picture::CarWreck;
    case picSplit:
    case imgSplit:
        return Picture::Median;
    case imgCiv1:
        return Picture::Civ1;
    case imgCiv1Crash:
        return Picture::Civ1Wreck;
    case imgCiv2:
        return Picture::Civ2;
    case imgCiv2Crash:
        return Picture::Civ2Wreck;
    case imgHog:
        return Picture::Hog;
    case imgHogCrash:
        return Picture::HogWreck;
    case imgMs:
    case imgMsOriginal:
        return Picture::Moto;
    case imgMl:
        return Picture::MotoLeft;
    case imgMr:
        return Picture::MotoRight;
    case imgMdead:
        return Picture::MotoWreck;
    case imgCrater0:
    case imgCrater1:
        return Picture::Crater;
    case imgMarker1:
    case imgMarker2:
    case imgMarker3:
    case imgMarker4:
    case imgMarker5:
    case imgMarker6:
    case imgMarker7:
        return Picture::Marker;
    case imgMissile:
    case ShowMissile:
        return Picture::Missile;
    case imgMissileGo:
        return Picture::MissileFlight;
    case imgMine:
    case ShowMine:
        return Picture::Mine;
    case imgBoom:
        return Picture::Boom;
    case imgDash:
        return Picture::Dash;
    case imgCracked:
        return Picture::DashCracked;
    default:
        return std::nullopt;
    }
}

} // namespace kestrada::desktop
