// SPDX-License-Identifier: GPL-3.0-or-later
// Form_Load opens the program and starts every new game: there is no other
// reset, so whatever it leaves alone carries over from the last game.
#include "app/form.h"
#include "app/high_score_store.h"
#include "app/host.h"
#include "app/road_geometry.h"
#include "app/score_text.h"
#include "numeric.h"
#include "sound/sound_player.h"

namespace kestrada {

namespace {
void setKeyLegend(Form& f) {
    f.lblInfo(1).Caption = "ENTER";
    f.lblInfo(2).Caption = "New\r\nGame";
    f.lblInfo(7).Caption = "ESC";
    f.lblInfo(8).Caption = "Pause";
    f.lblInfo(9).Caption = "ARROWS";
    f.lblInfo(10).Caption = "Move\r\nAccelerate\r\nBrake";
    f.lblInfo(5).Caption = "SPACE";
    f.lblInfo(6).Caption = "Fire\r\nWeapon";
    f.lblInfo(3).Caption = "1  or  2";
    f.lblInfo(4).Caption = "Select\r\nWeapon";
}

void placeCar(Form& f) {
    const Control& road = f.imgRoad();
    f.picCar().Top = single(road.Top + road.Height * roadway::kRestHeight);
    f.picCar().Left = single(road.Left + road.Width * roadway::kStartLeft + 2);
    f.imgCar().Top = f.picCar().Top;
    f.imgCar().Left = f.picCar().Left;
    f.imgCar().Visible = true;
}

void placeMarkers(Form& f) {
    const Control& road = f.imgRoad();
    for (f.MarkerIndex = 1; f.MarkerIndex <= 7; ++f.MarkerIndex) {
        Control& marker = f.imgMarker(f.MarkerIndex);
        const double h = marker.Height;
        marker.Left = single(road.Width * roadway::kCentreLine + road.Left);
        marker.Top = single(double((f.MarkerIndex - 1) * 2) * h + road.Top - (h + h) + 18);
    }
}

void parkWeapons(Form& f) {
    f.imgMissile().Top = single(f.picCar().Top + 10.0);
    f.imgMissile().Left = single(f.picCar().Left + 5.0);
    f.imgMissileGo().Top = f.imgMissile().Top;
    f.imgMissileGo().Left = f.imgMissile().Left;
    f.imgMine().Visible = false;
    f.imgMine().Left = f.picCar().Left;
    f.imgMine().Top = f.picCar().Top;
}

void readHighScore(Form& f) {
    if (f.highScoreStore == nullptr) {
        return;
    }
    const auto value = f.highScoreStore->load();
    if (!value) {
        return; // empty or unreadable: the label keeps its caption
    }
    f.HighScoreText = *value;
    f.lblHighScore().Caption = numberText(leadingNumber(f.HighScoreText));
}

void loadSounds(Form& f) {
    f.rng.seed(f.seedOverride ? *f.seedOverride : f.host->millisecondsSinceMidnight());
    f.sndStart->load((f.appPath / "Start.wav").string());
    f.sndCrash->load((f.appPath / "Crash.wav").string());
    f.sndMusic->load((f.appPath / "Kestrada.wav").string());
}
} // namespace

void Form::Form_Load() {
    setKeyLegend(*this);

    mnuPause.Enabled = true;
    mnuPause.Caption = "&Pause";
    lblPaused().Visible = false;
    ExitRequested = false;
    mnuScores.Visible = false;

    for (CraterIndex = 0; CraterIndex <= 1; ++CraterIndex) {
        imgCrater(CraterIndex).Visible = false;
    }
    CratersInPlay = 0;
    TickCount = 0;
    Speed = 0;
    Score = 0;

    imgSplit().Visible = false;
    imgWreck().Visible = false;
    picCar().Visible = false;
    // picCar takes its picture from imgCarPic; the view draws both alike.
    placeCar(*this);

    linSpeed.Y2 = 204;
    linSpeed.X2 = 515;
    linSpeed.Visible = true;

    placeMarkers(*this);

    for (Control* c : {&imgCiv1(), &imgCiv1Crash(), &imgCiv2(), &imgCiv2Crash(), &imgMs(), &imgMl(),
                       &imgMr(), &imgMdead()}) {
        c->Visible = false;
    }
    MotorcycleSpeed = 0;

    lblScore().Caption = "0";
    imgCracked().Visible = false;
    imgDash().Visible = true;

    parkWeapons(*this);

    imgHog().Visible = false;
    imgHogCrash().Visible = false;
    picSplit().Visible = false;
    MedianWasVisible = false;
    MissileInFlight = 0;
    WeaponChoice = 1;
    picSplit().Top = 472;

    readHighScore(*this);

    if (!SoundsLoaded) {
        loadSounds(*this);
    }
    if (mnuEffects.Checked) {
        sndStart->stop();
        sndStart->setPosition(0);
        sndStart->play();
    }

    tmrMain.Enabled = true;
    SoundsLoaded = true;
    MusicPlaying = false;
    GameOver = false;
    mousePointer = MousePointer::Transparent;
}

void Form::mnuNew_Click() {
    fraScores().Visible = false;
    sndMusic->stop();
    sndMusic->setPosition(0);
    sndStart->stop();
    sndCrash->stop();
    MusicPlaying = false;
    Form_Load();
}

void Form::cmdNewGame_Click() {
    mnuNew_Click();
}

void Form::Form_Unload() {
    mnuExit_Click();
}

} // namespace kestrada
