// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/control_pictures.h"

#include <array>

namespace kestrada {

namespace {
constexpr std::array<const char*, kPictureCount> kPictureFiles = {
    "road.svg",       "car.svg",          "car_wreck.svg",      "median.svg",     "civ1.svg",
    "civ1_wreck.svg", "civ2.svg",         "civ2_wreck.svg",     "hog.svg",        "hog_wreck.svg",
    "moto.svg",       "moto_left.svg",    "moto_right.svg",     "moto_wreck.svg", "crater.svg",
    "marker.svg",     "missile.svg",      "missile_flight.svg", "mine.svg",       "boom.svg",
    "dash.svg",       "dash_cracked.svg", "icon.svg",
};
} // namespace

const char* pictureFile(Picture picture) {
    return kPictureFiles[static_cast<std::size_t>(picture)];
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

} // namespace kestrada
