// SPDX-License-Identifier: GPL-3.0-or-later
// Racing a chosen run. The run's last game, the ghost, plays again slot for
// slot beside the player's game: a second game on silent players and a
// quiet host, whose best goes nowhere. A run is a whole session up to its
// last game, and a new game does not re-seed, so both games are first
// brought through the run's earlier games at once, as a check of the run
// does; from there the road, the traffic and the random numbers agree
// until the player does something different.
#pragma once

#include "app/form.h"
#include "app/high_score_store.h"
#include "session/game.h"
#include "session/headless_host.h"
#include "session/input_file.h"
#include "session/recorded_best.h"
#include "session/run_verification.h"
#include "session/simulation.h"
#include "session/slot_runner.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kestrada::session {

// A run ready to race.
struct GhostRun {
    uint32_t seed = 0;
    std::string high; // the best its session started from, as its header has it
    std::vector<InputEvent> events;
    // The events before this index bring a fresh game to the start of the
    // run's last game: its earlier games and the event that began it.
    std::size_t leadEvents = 0;
    std::string score; // what the last game ends with, as the dashboard shows it
};

// The run of a recording's text; nothing, with the reason, when it is not a
// recording or does not replay to a score within the budget.
std::optional<GhostRun> readGhostRun(std::string_view text, std::string& error,
                                     uint64_t slotBudget = kMaxRunSlots);

// Brings a fresh, started game through the run's earlier games at once, on
// its own runner: a recorder on the runner keeps those events at their
// slots, so a recording made through it replays on its own. Afterwards the
// runner's next slot is the one the last game goes on in, and the game
// still holds the sounds that slot has made so far.
void leadUp(const GhostRun& run, SlotRunner& runner, Game& game);

// The player's best while a race's lead is brought through: those games
// are not the player's, so nothing they beat is saved. Saves go through
// once the race is on.
class LeadBest : public HighScoreStore {
  public:
    explicit LeadBest(HighScoreStore& store) : store_(store) {}
    std::optional<std::string> load() override { return store_.load(); }
    BestSave save(std::string_view caption) override;
    std::string where() const override { return store_.where(); }
    void raceOn() { leading_ = false; }

  private:
    HighScoreStore& store_;
    bool leading_ = true;
};

// What a game's road has scrolled since it was first seen, in pixels: the
// centre-line dashes move down with the world and wrap by their period.
class RoadDistance {
  public:
    explicit RoadDistance(const Form& form);
    // After every slot: a slot scrolls less than one period.
    void follow(const Form& form);
    int64_t pixels() const { return pixels_; }

  private:
    double lastTop_ = 0;
    int64_t pixels_ = 0;
};

// Who finished ahead once the player's game is over, by the final scores.
struct RaceResult {
    enum class Ahead { Player, Ghost, Level };
    Ahead ahead = Ahead::Level;
    double by = 0; // points between the two
};

// The race's end as the player reads it, run naming the ghost's run:
// "You beat Ada's run by 312", "Ada's run is ahead by 95: Enter to race
// again" (Enter after the crash races it again).
std::string raceWords(const RaceResult& result, std::string_view run);

class GhostRace {
  public:
    // The ghost's game, brought to the start of the run's last game; player
    // is the player's game, brought there the same way.
    GhostRace(GhostRun run, const Form& player);
    GhostRace(const GhostRace&) = delete;
    GhostRace& operator=(const GhostRace&) = delete;

    // One slot of the ghost beside one of the player's, after it has run:
    // the ghost's events due, its tick, and both roads followed.
    void runSlot(const Form& player);
    // The player's game as it stands, after a handler as after a slot.
    void followPlayer(const Form& player);

    const Form& ghost() const { return game_.form(); }
    // Road pixels the ghost leads by, negative when it trails.
    int64_t gap() const { return ghostRoad_.pixels() - playerRoad_.pixels(); }
    int64_t ghostDistance() const { return ghostRoad_.pixels(); }
    int64_t playerDistance() const { return playerRoad_.pixels(); }
    // As the ghost's dashboard shows it.
    const std::string& ghostScore() const { return ghost().lblScore().Caption; }
    // The run's last game, to the end the run reaches.
    const std::string& finalScore() const { return run_.score; }
    // The ghost crashed or its run ended with Exit: it stands from then on.
    bool ghostFinished() const;
    // The player's game crashed, ended, or gave way to another.
    bool playerFinished() const { return playerFinished_; }
    std::optional<RaceResult> result() const;
    // The trace's record of the ghost's last slot, without its line end.
    std::string lastRecord() const;

  private:
    GhostRun run_;
    HeadlessHost host_;
    RecordedBest best_;
    Game game_;
    SlotRunner runner_;
    std::vector<InputEvent> lastGame_; // the events after the lead
    SlotFeed feed_;
    RoadDistance ghostRoad_;
    RoadDistance playerRoad_;
    int32_t playerTicks_ = 0;
    std::string playerScore_;
    bool playerFinished_ = false;
    uint64_t lastSlot_ = 0;
    bool lastTicked_ = false;
    std::vector<std::string> lastSounds_;
};

} // namespace kestrada::session
