// SPDX-License-Identifier: GPL-3.0-or-later
// The main window on screen: owns the session's game, its sound players and
// the frame timer, hands keys, menu commands and slots to the game through
// the slot runner and brings the window up to date after each of them.
#pragma once

#include "app/form.h"
#include "desktop/window_host.h"
#include "session/game.h"
#include "session/hall_of_fame_panel.h"
#include "session/hall_of_fame_world.h"
#include "session/input_file.h"
#include "session/input_policy.h"
#include "session/slot_runner.h"
#include "storage/game_folders.h"
#include "storage/high_score_file.h"

#include <QMainWindow>
#include <cstdint>
#include <deque>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace kestrada::sound {
class ClockedSoundPlayer;
}

namespace kestrada::desktop {

class FramePacer;
class FullScreen;
class GameMenus;
class Gamepads;
class PlayField;
class QtWorldLink;
class SoundOutput;

class MainWindow : public QMainWindow {
    Q_OBJECT

  public:
    // appPath: the folder of the wave files, the pictures and the high score.
    MainWindow(const std::filesystem::path& appPath, std::optional<uint32_t> seed,
               QWidget* parent = nullptr);
    MainWindow(const GameFolders& folders, std::optional<uint32_t> seed, QWidget* parent = nullptr);
    ~MainWindow() override;

    const Form& form() const { return game_.form(); }
    PlayField& playField() const { return *playField_; }
    GameMenus& menus() const { return *menus_; }
    Gamepads& gamepads() const { return *gamepads_; }
    // The game's timer is on and the window ticks it.
    bool frameTimerActive() const;
    // The frames at the screen's rate and the 40 ms slots counted out of
    // them: they run all the time, and the game ticks in a slot while its
    // own timer is on, so a slot means what it means headless.
    FramePacer& frames() const { return *frames_; }

    // Sees every input the model is handed that changes something, stamped
    // with the slot it is handled in: keys, menu commands and the end of the
    // road music.
    void setInputListener(std::function<void(const session::InputEvent&)> listener);
    // Plays the events at their slots from now on. The player's keys and
    // menus are ignored, but Esc holds and resumes the replay and Exit ends it.
    void replay(std::vector<session::InputEvent> events);

    // Draws the play area this many times larger; the menu bar stays as it
    // is. In full screen the zoom is kept for when the window comes back.
    void setZoom(int zoom);
    FullScreen& fullScreen() const { return *fullScreen_; }

    // The hall of fame's panel: the window routes keys to it; it is drawn
    // from its state.
    const session::HallOfFamePanel& hallOfFame() const { return hallOfFame_; }
    // The world's server the hall of fame sends its runs to; "" for none.
    void setWorldServer(const std::string& url);
    session::HallOfFameWorld& world() const { return *world_; }
    // Today's road, once the server named its seed: by default a new
    // window plays it (kestrada --seed N --road DAY).
    void setRoadStarter(std::function<void(uint32_t seed, const std::string& day)> start) {
        roadStarter_ = std::move(start);
    }
    QtWorldLink& worldLink() const { return *worldLink_; }

  Q_SIGNALS:
    // Exit has run: the program should end.
    void programEnded();
    // A slot is over, after its tick when the game's timer was on.
    void slotEnded(uint32_t slot, bool ticked);

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

  private:
    // Runs one handler of the model, then brings the window up to date.
    // Handlers never run inside one another: one that arrives while another
    // runs (from a modal window's event loop) waits until it returns.
    void runHandler(std::function<void()> handler);
    void syncView();
    void onSlot(double slotMs);
    void onFrame(double nowMs);
    // A key-down or key-up from the input policy.
    void onGameKey(const session::InputEvent& event);
    void onMenuClick(void (Form::*click)());
    // Live input: through the slot runner to its handler.
    void deliver(const session::InputEvent& event);
    void showRunTitle();
    // A recording without Exit: the replay stops a while after its last event.
    void endReplay();
    // Leaving the game running behind another window loses it the game.
    void pauseOnFocusLoss();
    void endProgram();
    // Ctrl+Plus and Ctrl+Minus: one step, remembered for the next start.
    void stepZoom(int step);
    // The hall of fame: the window's own command, keys and clicks while it
    // is shown, and a run chosen from it.
    void toggleHallOfFame();
    bool hallOfFameKey(const QKeyEvent& event);
    void hallOfFameClick(double x, double y);
    void replayChosenRun();
    // A world row's run, once downloaded, replays as a local one does.
    void replayDownloadedRun();
    // The window's own command beside the hall of fame's: today's road.
    void askForTodaysRoad();
    // Ctrl+L: the world's server's address, in a small dialog of the window's.
    void askForServer();
    void startTodaysRoad();

    std::unique_ptr<SoundOutput> soundOutput_;
    std::unique_ptr<sound::ClockedSoundPlayer> sndStart_;
    std::unique_ptr<sound::ClockedSoundPlayer> sndCrash_;
    std::unique_ptr<sound::ClockedSoundPlayer> sndMusic_;
    WindowHost host_;
    session::Game game_;
    PlayField* playField_;
    std::unique_ptr<GameMenus> menus_;
    std::unique_ptr<Gamepads> gamepads_;
    bool crashShown_ = false; // the controllers have shaken for this crash
    std::unique_ptr<FramePacer> frames_;
    double slotMs_ = 0; // when the slot being run fell on the frames' clock
    session::SlotRunner runner_{game_, game_.form()};
    // Keys and controllers become the game's keys here. A key released
    // while another window has focus never reaches us: the keyboard is let
    // go on focus loss.
    session::InputPolicy policy_{[this](const session::InputEvent& event) { onGameKey(event); }};
    // The session's recording so far, as last-run.txt has it: a game kept in
    // the hall of fame keeps this up to its end. Empty without a known seed.
    std::string sessionRecording_;
    std::function<void(const session::InputEvent&)> inputListener_;
    session::HallOfFamePanel hallOfFame_;
    std::unique_ptr<session::HallOfFameWorld> world_;
    std::unique_ptr<QtWorldLink> worldLink_;
    std::function<void(uint32_t, const std::string&)> roadStarter_;
    std::unique_ptr<FullScreen> fullScreen_;
    std::deque<std::function<void()>> waiting_;
    bool busy_ = false;
    bool ended_ = false;
    bool closing_ = false; // inside closeEvent, which closes by accepting
};

} // namespace kestrada::desktop
