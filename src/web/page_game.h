// SPDX-License-Identifier: GPL-3.0-or-later
// The game as the page plays it: the session's game on silent players, whose
// calls the page's sound plays, driven by the page's 40 ms slots through the
// session's slot runner; the run recorded in the input format, and a dropped
// recording replayed by the desktop's rules.
#pragma once

#include "app/host.h"
#include "session/game.h"
#include "session/hall_of_fame_panel.h"
#include "session/hall_of_fame_world.h"
#include "session/input_file.h"
#include "session/slot_runner.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace kestrada::web {

// Where the page keeps its files: the high score lives in the browser's
// storage, mounted here.
inline constexpr const char* kDataDir = "/data";
// A replay plays from a copy of the stored high score, never saving over it.
inline constexpr const char* kReplayDir = "/replay";

// The help window and the About box are HTML dialogs: shown, and the
// handler returns at once; the page holds the game's input until closed.
class PageHost : public Host {
  public:
    uint32_t millisecondsSinceMidnight() override;
    void showHelp() override;
    void showMessage(const std::string& title, const std::string& text) override;
    void endProgram() override {}
};

class PageGame {
  public:
    using SoundOut = std::function<void(const std::vector<std::string>&)>;

    // sounds receives every sound call, "<player>.<op>", as the game makes it.
    PageGame(uint32_t seed, SoundOut sounds);

    // Form_Load as at program start.
    void start();
    // Live input, handled at once in the slot about to run. Ignored while a
    // recording is replayed, but for Esc, which holds and resumes it.
    void input(const session::InputEvent& event);
    // The end of the road music, reported by the page's sound.
    void musicEnded();
    // One 40 ms slot: the replay's input, then a tick when the timer is on.
    void runSlot();

    // Replays a recording (or any input file) from its own seed; false with
    // the parser's "input:LINE: reason" when it cannot be read.
    bool replay(std::string_view text, std::string& error);
    bool replaying() const { return runner_->replaying(); }
    // Ends a replay with a new game of the page's own, the last run kept.
    void endReplay(uint32_t seed);
    // A new session from its first game, as a fresh page would start it.
    void newSession(uint32_t seed);
    bool replayHeld() const { return runner_->held(); }
    // The page's title: the game's name, or the state of its replay.
    std::string title() const { return session::runTitle(*runner_); }

    // The trace's record of the last slot, line end removed.
    std::string state() const;
    // This run so far, in the input format with its header.
    const std::string& recording() const { return recording_; }
    bool ended() const { return game_->ended(); }
    const Form& form() const { return game_->form(); }
    uint32_t seed() const { return seed_; }

    // The hall of fame, kept with the high score in the browser's storage:
    // its panel, the page's own command, and a key while it is shown
    // (the DOM's key name; true when the panel took it).
    const session::HallOfFamePanel& hallOfFame() const { return hallOfFame_; }
    void toggleHallOfFame();
    bool hallOfFameKey(std::string_view key, bool down, bool repeat);
    // A click or a tap at a point of the scene; true when the panel took it.
    bool hallOfFameClick(double x, double y);
    // The world's server beside the hall of fame: the page's own origin
    // when a kestrada-server served it, else none.
    void setWorldServer(const std::string& url);
    session::HallOfFameWorld& world() { return *world_; }
    // The page's own command beside the hall of fame's: today's road. Once
    // the server names the day's seed a new session plays it.
    void askForTodaysRoad();

  private:
    void newGame(uint32_t seed, const std::string& dataDir);
    // Hands the sound calls made so far to the page; those of a slot are
    // kept for its record too.
    void flushSounds();
    // All three players stop, as at the end of a game or a replay.
    void silence();
    // A game that ended since the last look goes to the hall of fame.
    void keepEndedGame();
    // Replays the run a key or a click chose in the hall of fame.
    void replayChosenRun();

    uint32_t seed_;
    SoundOut sounds_;
    PageHost host_;
    std::unique_ptr<session::Game> game_;
    std::unique_ptr<session::SlotRunner> runner_;
    std::string recording_;
    uint64_t lastSlot_ = 0;
    bool lastTicked_ = false;
    std::vector<std::string> slotSounds_;
    std::vector<std::string> lastSounds_;
    // The session from its start, as the hall of fame keeps it with a game.
    std::string sessionRecording_;
    bool crashSeen_ = false;
    bool exitSeen_ = false;
    session::HallOfFamePanel hallOfFame_{kDataDir, session::steppedRunChecks()};
    std::unique_ptr<session::HallOfFameWorld> world_;
};

} // namespace kestrada::web
