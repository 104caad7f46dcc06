// SPDX-License-Identifier: GPL-3.0-or-later
// The window as designed: where every control sits before the game touches it.
#include "app/form.h"

#include <algorithm>

namespace kestrada {

namespace {
void place(Control& c, float left, float top, float width, float height, bool visible) {
    c.Left = left;
    c.Top = top;
    c.Width = width;
    c.Height = height;
    c.Visible = visible;
}

MenuItem menu(const char* caption, const char* shortcut = "") {
    MenuItem m;
    m.Caption = caption;
    m.Shortcut = shortcut;
    return m;
}
} // namespace

Form::Form() : drawOrder(designDrawOrder()) {
    place(imgRoad(), 0, 0, 480, 480, true);
    place(picCar(), 324, 280, 25, 44, true);
    place(imgCar(), 224, 216, 25, 44, false);
    place(imgCarPic(), 0, 168, 25, 44, false);
    place(imgWreck(), 30, 168, 25, 44, false);
    place(picSplit(), 200, -72, 81, 1742, true);
    place(imgSplit(), 200, -1104, 81, 1742, false);
    place(imgCiv1(), 0, 272, 27, 41, false);
    place(imgCiv1Crash(), 30, 272, 27, 41, false);
    place(imgCiv2(), 0, 224, 26, 32, false);
    place(imgCiv2Crash(), 30, 224, 26, 32, false);
    place(imgHog(), 320, 420, 28, 42, false);
    place(imgHogCrash(), 320, 360, 28, 42, false);
    place(imgMs(), 0, 329, 23, 32, false);
    place(imgMsOriginal(), 20, 70, 23, 32, false);
    place(imgMl(), 0, 368, 30, 27, false);
    place(imgMr(), 30, 368, 30, 27, false);
    place(imgMdead(), 30, 336, 32, 23, false);
    place(imgCrater(0), 0, 128, 27, 29, false);
    place(imgCrater(1), 30, 128, 27, 29, false);
    const float markerLefts[] = {24, 8, 48, 32, 40, 56, 16};
    for (int i = 1; i <= 7; ++i) {
        place(imgMarker(i), markerLefts[i - 1], 8, 5, 40, true);
    }
    place(imgMissile(), 20, 452, 10, 16, false);
    place(imgMissileGo(), 45, 452, 10, 20, false);
    place(imgMine(), 40, 432, 20, 17, true);
    place(imgBoom(), 16, 432, 17, 17, false);
    place(ShowMissile(), 439, 388, 16, 26, true);
    place(ShowMine(), 431, 432, 32, 27, false);
    place(imgDash(), 483, 0, 107, 478, true);
    place(imgCracked(), 483, 0, 107, 478, false);

    linSpeed = Line{536, 182, 516, 204, true};

    place(lblSpeed(), 524, 192, 25, 20, true);
    lblSpeed().Caption = "0";
    place(lblScore(), 496, 272, 80, 18, true);
    lblScore().Caption = "0";
    place(lblHighScore(), 496, 352, 80, 18, true);
    lblHighScore().Caption = "0";
    place(lblCredits(), 483, 460, 129, 25, true);
    lblCredits().Caption = "Kestrada crew";
    place(lblPaused(), 40, 120, 417, 153, false);
    lblPaused().Caption = "Paused";

    // The key legend: key names on top, their meanings below.
    const struct {
        int index;
        float top;
        float height;
    } legend[] = {{1, 15, 18},   {2, 35, 36},  {7, 90, 18},  {8, 110, 36}, {9, 151, 18},
                  {10, 171, 72}, {5, 244, 36}, {6, 264, 36}, {3, 321, 18}, {4, 341, 36}};
    for (const auto& l : legend) {
        place(lblInfo(l.index), 413, l.top, 68, l.height, true);
    }

    place(fraScores(), 67, 0, 345, 477, false);
    place(lblScoreTitle(), 7, 5, 331, 40, true);
    lblScoreTitle().Caption = "Kestrada Hall of Fame";
    place(cmdNewGame(), 102, 431, 127, 36, true);
    cmdNewGame().Caption = "New Game";

    mnuFile = menu("&File");
    mnuNew = menu("&New Game", "Ctrl+N");
    mnuPause = menu("&Pause Game", "Ctrl+P");
    mnuLine = menu("-");
    mnuExit = menu("E&xit", "Ctrl+X");
    mnuSound = menu("Sound");
    mnuMusic = menu("Road &Music", "Ctrl+M");
    mnuMusic.Checked = true;
    mnuEffects = menu("&Sound Effects", "Ctrl+S");
    mnuEffects.Checked = true;
    mnuHelp = menu("&Help");
    mnuHowToPlay = menu("&How to Play Kestrada...", "Ctrl+H");
    mnuAbout = menu("&About Kestrada...", "Ctrl+A");
    mnuScores = menu("Scores");
    mnuHighScores = menu("High Sco&res", "Ctrl+R");
}

void Form::bringToFront(ControlId id) {
    auto it = std::find(drawOrder.begin(), drawOrder.end(), id);
    if (it != drawOrder.end()) {
        std::rotate(drawOrder.begin(), it, it + 1);
    }
}

} // namespace kestrada
