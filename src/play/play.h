// SPDX-License-Identifier: GPL-3.0-or-later
// One played session, as the window and the page both run it: the player's
// game and its slots, the session's recording, the hall of fame, and a
// replay with its rules. Front ends only translate: they hand over what
// their devices read (keys with their repeat flag, controllers, fingers,
// menu commands, leaving and coming back) and the clock, draw the scene
// this gives them and react to its events. Nothing here knows a toolkit.
#pragma once

#include "app/form.h"
#include "app/host.h"
#include "halloffame/hall_of_fame_panel.h"
#include "halloffame/run_checks.h"
#include "play/ghost_race.h"
#include "play/input_policy.h"
#include "scene/live_scene.h"
#include "scene/scene.h"
#include "session/game.h"
#include "session/input_file.h"
#include "session/slot_runner.h"
#include "storage/game_folders.h"
#include "world/hall_of_fame_world.h"

#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

namespace kestrada::session {

// What the session tells its front end, after the call that caused it.
enum class PlayEvent {
    Crashed,      // a game ended in a crash: shake the controllers, show New Game
    Exited,       // the session is over: the window closes, the page says so
    Stored,       // the hall of fame was written: the page writes its storage through
    ReplayChosen, // a run to replay in a window of its own, at chosenRun()
    RoadChosen,   // today's road: a new session on roadSeed() plays it, racing roadRace()
    RaceChosen,   // a run to race: a new session races chosenRace()
};

// The one thing the platforms keep apart. A window can open another window
// for a run chosen in the hall of fame, a program of its own whose Exit ends
// it; a page cannot, so it replays the run in its place, and Exit there
// returns to the player's game as it was left.
enum class ChosenRuns { OwnWindow, InPlace };

// A recording to play instead of a player's session (the window's --replay).
struct Replay {
    std::vector<InputEvent> events;
    uint32_t seed = 0;
    std::string best; // the high score it starts from, as shown
};

// A run to race from its start: its ghost plays beside the player's game.
struct Race {
    GhostRun run;
    std::string name; // whose run, as the race's end words name it: "Ada's run"
};

struct PlaySetup {
    GameFolders folders;
    uint32_t seed = 0; // the recording names it, so it is always known
    // Where the best score is kept; none for the file in folders.highScore.
    // The hall of fame is kept in folders.highScore either way.
    HighScoreStore* highScoreStore = nullptr;
    // The front end's players; none for silent ones whose calls go to
    // soundCalls as they are made.
    std::optional<SoundPlayers> players;
    std::function<void(const std::vector<std::string>&)> soundCalls;
    std::unique_ptr<RunChecks> checks;
    ChosenRuns chosenRuns = ChosenRuns::InPlace;
    std::optional<Replay> replay;
    // The session races this run on its road: its seed is the run's.
    std::optional<Race> race;
};

class Play {
  public:
    // host: the front end's clock and dialogs; its endProgram is not
    // needed, the Exited event says it.
    Play(Host& host, PlaySetup setup);
    ~Play();
    Play(const Play&) = delete;
    Play& operator=(const Play&) = delete;

    // Form_Load as at program start; the events go to listener.
    void start(std::function<void(PlayEvent)> listener);

    // ---- what the front end reads -------------------------------------
    // A key of the keyboard; repeat: the keyboard repeats a held key.
    void key(int16_t code, bool down, bool repeat);
    // The controllers: one's whole reading, one button or axis, or gone.
    void padReading(int pad, const PadReading& reading);
    void padButton(int pad, PadButton button, bool down);
    void padAxis(int pad, PadAxis axis, double deflection);
    void padGone(int pad);
    std::vector<int> pads() const { return policy_.pads(); }
    // The keys under the fingers on the touch controls now.
    void touches(const std::set<int16_t>& held);
    // A menu item or the form's own New Game button.
    void menu(MenuCommand command);
    // The end of the road music, as the front end's sound heard it.
    void musicEnded();
    // The window or the page is left (another window, minimised, hidden):
    // the keys are let go and a running game pauses, once.
    void leave();
    // The window or the page goes away: a name still asked for is the last
    // one given, and its entry goes out under it (next start, at worst).
    void close();
    // Only the keyboard's keys are let go (a menu opened over the game).
    void releaseKeys() { policy_.releaseKeyboard(); }
    // In front, a controller's presses reach the game; behind, only its
    // releases do.
    void setInFront(bool inFront) { policy_.setPadsInFront(inFront); }

    // ---- the hall of fame --------------------------------------------
    // The front end's own command (Ctrl+F): shows or hides the table. No
    // table opens during a replay.
    void toggleHallOfFame();
    // A key while the table is shown, by the panel's name for it or the
    // text it types; true when the table took it and the game must not.
    bool panelKey(std::optional<HallOfFamePanel::Key> key, std::string_view typed, bool down,
                  bool repeat);
    // A click or a tap at a point of the scene; true when the table took it.
    bool click(double x, double y);
    const HallOfFamePanel& hallOfFame() const { return panel_; }
    // The table is on the screen: shown, and no replay in front of it (one
    // played in place leaves it as it was, for when the player is back).
    bool tableShown() const { return panel_.shown() && !replaying(); }
    // The run the last ReplayChosen event named.
    const std::filesystem::path& chosenRun() const { return chosenRun_; }

    // ---- the world's server ------------------------------------------
    // Where the hall of fame's runs go and its world views come from ("":
    // none); the front end carries the world's requests.
    void setWorldServer(const std::string& url);
    HallOfFameWorld& world() const { return *world_; }
    // The front end's command beside the hall of fame's (Ctrl+D): asks the
    // server for today's road; the table says what became of it.
    void askForTodaysRoad();
    // The day's seed and its day, once RoadChosen said so.
    uint32_t roadSeed() const { return roadSeed_; }
    const std::string& roadDay() const { return world_->roadDay(); }
    // The day's leader, for the road RoadChosen named to race; none when the
    // setting is off or no leader came. chosenRun() is then its file.
    const std::optional<Race>& roadRace() const { return roadRace_; }
    // The player's setting, on unless the front end says otherwise: today's
    // road races the day's leader.
    void setRaceTodaysLeader(bool on);

    // ---- the clock ---------------------------------------------------
    // One 40 ms slot; slotMs: when it fell on the front end's clock, for
    // the motion drawn between ticks. The slot of the game shown.
    SlotRunner::Slot runSlot(double slotMs);

    // ---- replay ------------------------------------------------------
    // A recording's text played in place of the player's game, which
    // pauses and waits; false with "input:LINE: reason" when it is bad.
    bool replay(std::string_view text, std::string& error);
    bool replaying() const { return replay_ != nullptr; }
    bool held() const;

    // ---- a raced ghost ----------------------------------------------
    // The ghost racing beside the player's game; none without a race.
    const GhostRace* race() const { return race_.get(); }
    // Who finished ahead, once the player's game is over; "" before.
    std::string raceWords() const;
    // The run the last RaceChosen event named, R on a local table's row;
    // chosenRun() is its file.
    const std::optional<Race>& chosenRace() const { return chosenRace_; }

    // ---- what is shown -----------------------------------------------
    const Form& form() const;
    // The frame at nowMs: the game's scene, the hall of fame over it.
    scene::Scene scene(double nowMs) const;
    void setSmoothing(bool on);
    bool smoothing() const { return smoothing_; }
    // "Kestrada", or the replay's state.
    std::string title() const;
    // The trace's record of the last slot, without its line end.
    std::string lastRecord() const;
    // Exit has run: nothing more happens.
    bool ended() const { return ended_; }

    // ---- the recording -----------------------------------------------
    // The session so far in the input format, headed by its seed and the
    // best it started from: the hall of fame's runs, the page's download.
    const std::string& recording() const { return recording_; }
    // Hands every text added to the recording, the header first, to tee
    // as well (last-run.txt, --record).
    void teeRecording(std::function<void(std::string_view)> tee);
    uint32_t seed() const { return seed_; }

  private:
    struct Round;
    class QuietHost;

    Round& shown() const;
    std::unique_ptr<Round> makeRound(Host& host, uint32_t seed, HighScoreStore& store);
    void input(const InputEvent& event);
    void record(const InputEvent& event);
    void append(const std::string& text);
    // After every call: the sound calls handed out, a game's end noticed,
    // a chosen run replayed, a finished replay put away.
    void settle();
    void followEnds(Round& round, bool player);
    // Keeps the entry being named under the last name given.
    void keepLastName();
    void takeChosenRun();
    // A world row's run downloaded, today's road's seed come.
    void takeWorldResults();
    // The day's leader that came with the seed, when it races that road.
    std::optional<Race> takeRoadLeader(uint32_t seed);
    bool startReplay(std::string_view text, std::string& error);
    void endReplay();
    // The game shown changed: its record is of the last slot it ran.
    void showFromItsLastSlot();
    // Hands the sound calls made so far to the front end, and keeps them
    // with their game for the record of its slot.
    void flushSounds();
    void emit(PlayEvent event);
    // Brings the player's game through the raced run's earlier games.
    void startRace();
    // The local table's chosen row, to race; false when it has no run.
    bool raceChosenRow();
    // Enter at the race's end: true when it chose the run again.
    bool raceAgain(const InputEvent& event);
    // The ghost over the player's road, when there is one to draw.
    scene::Scene raceOverlay() const;

    Host& host_;
    PlaySetup setup_;
    std::unique_ptr<HighScoreStore> fileStore_;
    std::unique_ptr<HighScoreStore> startingBest_;
    std::unique_ptr<QuietHost> quietHost_;
    std::unique_ptr<HighScoreStore> replayBest_;
    std::unique_ptr<Round> player_;
    std::unique_ptr<Round> replay_;
    std::unique_ptr<LeadBest> leadBest_;
    std::unique_ptr<GhostRace> race_;
    std::optional<Race> chosenRace_;
    bool raceDownload_ = false; // the world's run asked for is to race
    std::unique_ptr<scene::LiveScene> live_;
    bool smoothing_ = true;
    InputPolicy policy_;
    HallOfFamePanel panel_;
    std::unique_ptr<HallOfFameWorld> world_;
    uint32_t roadSeed_ = 0;
    bool raceLeader_ = true;
    std::optional<Race> roadRace_;
    std::function<void(PlayEvent)> listener_;
    std::function<void(std::string_view)> tee_;
    std::string recording_;
    std::filesystem::path chosenRun_;
    uint32_t seed_ = 0;
    uint64_t lastSlot_ = 0;
    bool lastTicked_ = false;
    std::vector<std::string> lastSounds_;
    bool ended_ = false;
    bool settling_ = false;
};

} // namespace kestrada::session
