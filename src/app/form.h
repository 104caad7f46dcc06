// SPDX-License-Identifier: GPL-3.0-or-later
// The main window as the game sees it. Every control with its
// geometry, visibility and caption, the menus, the frame timer, the
// form-level variables, and the handlers that the window and the headless
// runner call. Nothing here knows how the window is drawn.
#pragma once

#include "app/control_ids.h"
#include "app/controls.h"
#include "app/random_generator.h"

#include <array>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>

namespace kestrada {

class HighScoreStore;
class Host;
class SoundPlayer;

class Form {
  public:
    // The design-time state of every control, before Form_Load.
    Form();

    // ---- controls ---------------------------------------------------------
    Control& control(ControlId id) { return controls_[static_cast<std::size_t>(id)]; }
    const Control& control(ControlId id) const { return controls_[static_cast<std::size_t>(id)]; }

#define KESTRADA_CONTROL(name)                                                                     \
    Control& name() {                                                                              \
        return control(ControlId::name);                                                           \
    }                                                                                              \
    const Control& name() const {                                                                  \
        return control(ControlId::name);                                                           \
    }
    KESTRADA_CONTROL(imgRoad)
    KESTRADA_CONTROL(picCar)
    KESTRADA_CONTROL(imgCar)
    KESTRADA_CONTROL(imgCarPic)
    KESTRADA_CONTROL(imgWreck)
    KESTRADA_CONTROL(picSplit)
    KESTRADA_CONTROL(imgSplit)
    KESTRADA_CONTROL(imgCiv1)
    KESTRADA_CONTROL(imgCiv1Crash)
    KESTRADA_CONTROL(imgCiv2)
    KESTRADA_CONTROL(imgCiv2Crash)
    KESTRADA_CONTROL(imgHog)
    KESTRADA_CONTROL(imgHogCrash)
    KESTRADA_CONTROL(imgMs)
    KESTRADA_CONTROL(imgMsOriginal)
    KESTRADA_CONTROL(imgMl)
    KESTRADA_CONTROL(imgMr)
    KESTRADA_CONTROL(imgMdead)
    KESTRADA_CONTROL(imgMissile)
    KESTRADA_CONTROL(imgMissileGo)
    KESTRADA_CONTROL(imgMine)
    KESTRADA_CONTROL(imgBoom)
    KESTRADA_CONTROL(ShowMissile)
    KESTRADA_CONTROL(ShowMine)
    KESTRADA_CONTROL(imgDash)
    KESTRADA_CONTROL(imgCracked)
    KESTRADA_CONTROL(lblSpeed)
    KESTRADA_CONTROL(lblScore)
    KESTRADA_CONTROL(lblHighScore)
    KESTRADA_CONTROL(lblCredits)
    KESTRADA_CONTROL(lblPaused)
    KESTRADA_CONTROL(fraScores)
    KESTRADA_CONTROL(lblScoreTitle)
    KESTRADA_CONTROL(cmdNewGame)
#undef KESTRADA_CONTROL

    // Control arrays, indexed as the game indexes them.
    Control& imgCrater(int i) {
        return control(craterId(i));
    }
    const Control& imgCrater(int i) const {
        return control(craterId(i));
    }
    Control& imgMarker(int i) {
        return control(markerId(i));
    }
    const Control& imgMarker(int i) const {
        return control(markerId(i));
    }
    Control& lblInfo(int i) {
        return control(infoId(i));
    }
    const Control& lblInfo(int i) const {
        return control(infoId(i));
    }

    static ControlId craterId(int i) {
        return static_cast<ControlId>(int(ControlId::imgCrater0) + i);
    }
    static ControlId markerId(int i) {
        return static_cast<ControlId>(int(ControlId::imgMarker1) + i - 1);
    }
    static ControlId infoId(int i) {
        return static_cast<ControlId>(int(ControlId::lblInfo1) + i - 1);
    }

    Line linSpeed;
    Timer tmrMain;
    MousePointer mousePointer = MousePointer::Default;

    // Images, labels and the line, front to back; see bringToFront.
    LowerLayerOrder drawOrder;
    // Moves a control to the head of its layer.
    void bringToFront(ControlId id);

    // ---- menus ------------------------------------------------------------
    MenuItem mnuFile, mnuNew, mnuPause, mnuLine, mnuExit;
    MenuItem mnuSound, mnuMusic, mnuEffects;
    MenuItem mnuHelp, mnuHowToPlay, mnuAbout;
    MenuItem mnuScores, mnuHighScores;

    // ---- form-level variables, in their declared order ----------------------
    int16_t PrevSpeed = 0;         // Speed after the last tick; the car moves when it changes
    int16_t Speed = 0;             // the player's speed, pixels per tick, 0 to 25
    int16_t MarkerIndex = 0;       // the centre-line dashes' loop index
    int16_t CraterIndex = 0;       // the craters' loop index, left as the last loop ended
    int16_t CratersInPlay = 0;     // how many craters are on the road
    bool ExitRequested = false;    // Exit was chosen: the game ends once the high score is saved
    int32_t TickCount = 0;         // ticks since the game began
    double Score = 0;              // the score, distance and crashes
    std::string HighScoreText;     // the best score as the file holds it
    bool MedianWasVisible = false; // the median strip was up when the game was paused or ended
    int32_t Civ1Speed = 0;         // civilian car 1's own speed
    int32_t Civ2Speed = 0;         // civilian car 2's own speed
    int32_t MotorcycleSpeed = 0;   // the motorcycle's own speed
    int32_t HogSpeed = 0;          // the road hog's own speed
    bool OffRoad = false;          // the car is on the verge and cannot accelerate
    int16_t RandomRoll = 0;        // this tick's random roll, 1 to 20
    int16_t Civ1Bumped = 0;        // 1 while civilian car 1 is held where the player pushed it
    int16_t Civ2Bumped = 0;        // 1 while civilian car 2 is held where the player pushed it
    int16_t WeaponChoice = 0;      // 1 missiles, 2 mines
    int32_t PrevRightHeld = 0;     // RightHeld at the end of the last tick
    int32_t PrevLeftHeld = 0;      // LeftHeld at the end of the last tick
    int32_t UpHeld = 0;            // 1 while the Up arrow is held
    int32_t DownHeld = 0;          // 1 while the Down arrow is held
    int32_t LeftHeld = 0;          // 1 while the Left arrow is held
    int32_t RightHeld = 0;         // 1 while the Right arrow is held
    int16_t MissileInFlight = 0;   // 1 while a missile or a mine is out
    bool SoundsLoaded = false;     // the three players have their wave files
    bool MusicPlaying = false;     // the road music has been started
    bool GameOver = false;         // the player's car has crashed

    // ---- platform ---------------------------------------------------------
    // Set by the program before the first Form_Load; the players and the host
    // outlive the form.
    SoundPlayer* sndStart = nullptr;
    SoundPlayer* sndCrash = nullptr;
    SoundPlayer* sndMusic = nullptr;
    Host* host = nullptr;
    // The program's own folder: the wave files.
    std::filesystem::path appPath;
    // Where the best score is kept between games; without one the label
    // starts from its design caption and a beaten best is only shown.
    HighScoreStore* highScoreStore = nullptr;
    // --seed N replaces the time of day as the seed.
    std::optional<uint32_t> seedOverride;
    RandomGenerator rng;
    // A fresh uniform number in [0, 1) from the game's generator.
    float Rnd() {
        return rng.next();
    }

    // ---- handlers -----------------------------------------------------------
    void Form_Load();
    void Form_Unload();
    void Form_KeyDown(int16_t keyCode, int16_t shift = 0);
    void Form_KeyUp(int16_t keyCode, int16_t shift = 0);
    void tmrMain_Timer();
    void mnuNew_Click();
    void cmdNewGame_Click();
    void mnuPause_Click();
    void mnuMusic_Click();
    void mnuEffects_Click();
    void mnuExit_Click();
    void mnuHowToPlay_Click();
    void mnuAbout_Click();
    void mnuHighScores_Click();
    void sndMusic_event9();
    // Ends the game after a crash, or saves the high score on Exit.
    void Die();

    // The whole state, for tests that check a round trip restores it.
    bool operator==(const Form&) const = default;

  private:
    std::array<Control, kControlCount> controls_;
};

} // namespace kestrada
