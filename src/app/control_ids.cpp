// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/control_ids.h"

namespace kestrada {

namespace {
constexpr std::array<std::string_view, kControlCount> kNames = {
    "imgRoad",     "picCar",      "imgCar",        "imgCarPic",  "imgWreck",      "picSplit",
    "imgSplit",    "imgCiv1",     "imgCiv1Crash",  "imgCiv2",    "imgCiv2Crash",  "imgHog",
    "imgHogCrash", "imgMs",       "imgMsOriginal", "imgMl",      "imgMr",         "imgMdead",
    "imgCrater0",  "imgCrater1",  "imgMarker1",    "imgMarker2", "imgMarker3",    "imgMarker4",
    "imgMarker5",  "imgMarker6",  "imgMarker7",    "imgMissile", "imgMissileGo",  "imgMine",
    "imgBoom",     "ShowMissile", "ShowMine",      "imgDash",    "imgCracked",    "linSpeed",
    "lblSpeed",    "lblScore",    "lblHighScore",  "lblCredits", "lblPaused",     "lblInfo1",
    "lblInfo2",    "lblInfo3",    "lblInfo4",      "lblInfo5",   "lblInfo6",      "lblInfo7",
    "lblInfo8",    "lblInfo9",    "lblInfo10",     "fraScores",  "lblScoreTitle", "cmdNewGame",
};
} // namespace

std::string_view nameOf(ControlId id) {
    return kNames[static_cast<std::size_t>(id)];
}

ControlKind kindOf(ControlId id) {
    using enum ControlId;
    switch (id) {
    case picCar:
    case picSplit:
        return ControlKind::PictureBox;
    case linSpeed:
        return ControlKind::Line;
    case fraScores:
        return ControlKind::Frame;
    case cmdNewGame:
        return ControlKind::Button;
    default:
        return id >= lblSpeed ? ControlKind::Label : ControlKind::Image;
    }
}

LowerLayerOrder designDrawOrder() {
    using enum ControlId;
    return {imgMsOriginal, lblInfo1,     lblInfo2,     lblInfo3,   lblInfo4,   lblInfo5,
            lblInfo6,      lblInfo7,     lblInfo8,     lblInfo9,   lblInfo10,  lblPaused,
            ShowMine,      lblCredits,   ShowMissile,  lblSpeed,   imgCar,     imgMine,
            imgHogCrash,   imgHog,       imgMissileGo, imgBoom,    imgMissile, lblHighScore,
            lblScore,      linSpeed,     imgMdead,     imgMr,      imgMl,      imgMs,
            imgDash,       imgCiv2Crash, imgCiv1Crash, imgCiv2,    imgCiv1,    imgCrater1,
            imgCrater0,    imgCarPic,    imgWreck,     imgSplit,   imgMarker1, imgMarker2,
            imgMarker3,    imgMarker4,   imgMarker5,   imgMarker6, imgMarker7, imgRoad,
            imgCracked};
}

} // namespace kestrada
