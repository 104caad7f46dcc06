// SPDX-License-Identifier: GPL-3.0-or-later
// Every drawable control of the main window by name, and the order in which
// the window draws them.
#pragma once

#include <array>
#include <cstddef>
#include <string_view>

namespace kestrada {

enum class ControlId : unsigned char {
    imgRoad,
    picCar,
    imgCar,
    imgCarPic,
    imgWreck,
    picSplit,
    imgSplit,
    imgCiv1,
    imgCiv1Crash,
    imgCiv2,
    imgCiv2Crash,
    imgHog,
    imgHogCrash,
    imgMs,
    imgMsOriginal,
    imgMl,
    imgMr,
    imgMdead,
    imgCrater0,
    imgCrater1,
    imgMarker1,
    imgMarker2,
    imgMarker3,
    imgMarker4,
    imgMarker5,
    imgMarker6,
    imgMarker7,
    imgMissile,
    imgMissileGo,
    imgMine,
    imgBoom,
    ShowMissile,
    ShowMine,
    imgDash,
    imgCracked,
    linSpeed, // drawn from Form::linSpeed; its Control slot is unused
    lblSpeed,
    lblScore,
    lblHighScore,
    lblCredits,
    lblPaused,
    lblInfo1,
    lblInfo2,
    lblInfo3,
    lblInfo4,
    lblInfo5,
    lblInfo6,
    lblInfo7,
    lblInfo8,
    lblInfo9,
    lblInfo10,
    fraScores,
    lblScoreTitle,
    cmdNewGame,
};

inline constexpr std::size_t kControlCount = static_cast<std::size_t>(ControlId::cmdNewGame) + 1;

enum class ControlKind { Image, PictureBox, Label, Line, Frame, Button };

ControlKind kindOf(ControlId id);
std::string_view nameOf(ControlId id);

// Images, labels and the line share one layer; picture boxes, the frame and
// its button are drawn above all of them.
inline constexpr std::size_t kLowerLayerCount = kControlCount - 5;
using LowerLayerOrder = std::array<ControlId, kLowerLayerCount>;

// Front to back, as the window is designed.
LowerLayerOrder designDrawOrder();

// The upper layer, front to back.
inline constexpr std::array<ControlId, 5> kUpperLayerOrder = {
    ControlId::cmdNewGame, ControlId::lblScoreTitle, ControlId::fraScores, ControlId::picCar,
    ControlId::picSplit};

} // namespace kestrada
