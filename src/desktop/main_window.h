// SPDX-License-Identifier: GPL-3.0-or-later
// The main window on screen: owns the session's game, its sound players and
// the frame timer, hands keys, menu commands and slots to the game through
// the slot runner and brings the window up to date after each of them.
#pragma once

#include "app/form.h"
#include "desktop/window_host.h"
#include "play/play.h"
#include "storage/game_folders.h"

#include <QMainWindow>
#include <cstdint>
#include <deque>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>

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
    // replay: a recording played instead of the player's game (--replay);
    // race: a run whose ghost races the player's game (--race).
    MainWindow(const GameFolders& folders, std::optional<uint32_t> seed,
               std::optional<session::Replay> replay = {}, std::optional<session::Race> race = {},
               QWidget* parent = nullptr);
    ~MainWindow() override;

    // The session the window plays: its game, recording and hall of fame.
    session::Play& play() const { return *play_; }
    const Form& form() const { return play_->form(); }
    PlayField& playField() const { return *playField_; }
    GameMenus& menus() const { return *menus_; }
    Gamepads& gamepads() const { return *gamepads_; }
    // The game's timer is on and the window ticks it.
    bool frameTimerActive() const;
    // The frames at the screen's rate and the 40 ms slots counted out of
    // them: they run all the time, and the game ticks in a slot while its
    // own timer is on, so a slot means what it means headless.
    FramePacer& frames() const { return *frames_; }

    // Draws the play area this many times larger; the menu bar stays as it
    // is. In full screen the zoom is kept for when the window comes back.
    void setZoom(int zoom);
    FullScreen& fullScreen() const { return *fullScreen_; }

    const session::HallOfFamePanel& hallOfFame() const { return play_->hallOfFame(); }
    // The world's server the hall of fame sends its runs to; "" for none.
    void setWorldServer(const std::string& url);
    session::HallOfFameWorld& world() const { return play_->world(); }
    QtWorldLink& worldLink() const { return *worldLink_; }
    // Today's road races the day's leader (the player's setting).
    void setRaceTodaysLeader(bool on) { play_->setRaceTodaysLeader(on); }
    // Today's road, once the server named its seed: by default a new
    // window plays it (kestrada --seed N --road DAY), racing the day's
    // leader when one came with it (--race FILE --race-name NAME).
    void setRoadStarter(std::function<void(uint32_t seed, const std::string& day)> start) {
        roadStarter_ = std::move(start);
    }
    // Opens a run chosen in the hall of fame: by default the program again,
    // with --replay, in a window of its own.
    void setRunOpener(std::function<void(const std::filesystem::path&)> opener);

  Q_SIGNALS:
    // Exit has run: the program should end.
    void programEnded();
    // A slot is over, after its tick when the game's timer was on.
    void slotEnded(uint32_t slot, bool ticked);

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

  private:
    // Hands the session one thing, then brings the window up to date.
    // Handlers never run inside one another: one that arrives while another
    // runs (from a modal window's event loop) waits until it returns.
    void runHandler(std::function<void()> handler);
    void syncView();
    void onSlot(double slotMs);
    void onFrame(double nowMs);
    void onEvent(session::PlayEvent event);
    void onMenuClick(void (Form::*click)());
    void leave();
    void endProgram();
    // Ctrl+Plus and Ctrl+Minus: one step, remembered for the next start.
    void stepZoom(int step);
    bool hallOfFameKey(const QKeyEvent& event);
    // Ctrl+L: the world's server's address, in a small dialog of the window's.
    void askForServer();

    std::unique_ptr<SoundOutput> soundOutput_;
    std::unique_ptr<sound::ClockedSoundPlayer> sndStart_;
    std::unique_ptr<sound::ClockedSoundPlayer> sndCrash_;
    std::unique_ptr<sound::ClockedSoundPlayer> sndMusic_;
    WindowHost host_;
    std::unique_ptr<session::Play> play_;
    PlayField* playField_;
    std::unique_ptr<GameMenus> menus_;
    std::unique_ptr<Gamepads> gamepads_;
    std::unique_ptr<FramePacer> frames_;
    std::unique_ptr<FullScreen> fullScreen_;
    std::unique_ptr<QtWorldLink> worldLink_;
    std::function<void(uint32_t, const std::string&)> roadStarter_;
    std::function<void(const std::filesystem::path&)> openRun_;
    std::filesystem::path scoreFolder_; // the player's files, handed to the windows it opens
    std::deque<std::function<void()>> waiting_;
    bool busy_ = false;
    bool exited_ = false; // the session said Exited
    bool ended_ = false;
    bool closing_ = false; // inside closeEvent, which closes by accepting
};

} // namespace kestrada::desktop
