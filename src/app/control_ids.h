// SPDX-License-Identifier: GPL-3.0-or-later
// Every drawable control of the main window by name, and the order in which
// the window draws them. The names are the game's vocabulary: the trace, the
// input files and the handlers all use them, so they stay as they are; the
// comments say in plain words what each one is.
#pragma once

#include <array>
#include <cstddef>
#include <string_view>

namespace kestrada {

enum class ControlId : unsigned char {
    imgRoad,       // the road picture, 480 x 480, which never moves
    picCar,        // the player's car as a hit box that also shows its picture
    imgCar,        // the player's car picture alone, drawn while on the verge
    imgCarPic,     // a spare copy of the car picture
    imgWreck,      // the player's own wreck
    picSplit,      // the median strip as the tick tests it
    imgSplit,      // the same median as a still picture, while paused or crashed
    imgCiv1,       // civilian car 1, which comes up from behind and overtakes
    imgCiv1Crash,  // the wreck of civilian car 1
    imgCiv2,       // civilian car 2, which the player overtakes
    imgCiv2Crash,  // the wreck of civilian car 2
    imgHog,        // the road hog, the one hostile car
    imgHogCrash,   // the wreck of the road hog
    imgMs,         // the motorcycle, riding straight
    imgMsOriginal, // a spare copy of the straight motorcycle picture
    imgMl,         // the motorcycle leaning left (never shown)
    imgMr,         // the motorcycle leaning right (never shown)
    imgMdead,      // the crashed motorcycle
    imgCrater0,    // a crater (there are two)
    imgCrater1,
    imgMarker1, // a centre-line dash (seven of them scroll)
    imgMarker2,
    imgMarker3,
    imgMarker4,
    imgMarker5,
    imgMarker6,
    imgMarker7,
    imgMissile,   // the missile waiting at the car's front
    imgMissileGo, // the missile in flight
    imgMine,      // a laid mine
    imgBoom,      // where a weapon struck (the window plays a burst there)
    ShowMissile,  // the dashboard's weapon indicator: missiles chosen
    ShowMine,     // the dashboard's weapon indicator: mines chosen
    imgDash,      // the dashboard
    imgCracked,   // the cracked dashboard after a crash
    linSpeed,     // the speedometer needle, drawn from Form::linSpeed (this slot is unused)
    lblSpeed,     // the speed read-out
    lblScore,     // the score
    lblHighScore, // the best score
    lblCredits,   // the credit line
    lblPaused,    // the big "Paused" sign
    lblInfo1,     // the key legend on the dashboard (ten labels)
    lblInfo2,
    lblInfo3,
    lblInfo4,
    lblInfo5,
    lblInfo6,
    lblInfo7,
    lblInfo8,
    lblInfo9,
    lblInfo10,
    fraScores,     // the hall-of-fame panel, never shown in play
    lblScoreTitle, // the hall of fame's title
    cmdNewGame,    // the hall of fame's New Game button
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
