// SPDX-License-Identifier: GPL-3.0-or-later
#include "play/ghost_race.h"

#include "app/score_text.h"
#include "session/recording.h"
#include "session/trace_writer.h"

#include <cmath>
#include <utility>

namespace kestrada::session {

namespace {
// Every game starts by loading the best, so the last event after which the
// loads went up began the run's last game. Returns the index past it.
std::size_t leadOf(const std::vector<InputEvent>& events, uint32_t seed, const std::string& high) {
    HeadlessHost host;
    RecordedBest best(high);
    Game game(host, {.folders = {}, .seed = seed, .highScoreStore = &best});
    game.start();
    SlotRunner runner(game, game.form());
    std::size_t lead = 0;
    unsigned games = best.loads();
    for (std::size_t i = 0; i < events.size() && !game.ended(); ++i) {
        while (runner.slot() < events[i].slot && !game.ended()) {
            runner.runSlot();
            game.takeSounds();
        }
        runner.input(events[i]);
        if (best.loads() != games) {
            games = best.loads();
            lead = i + 1;
        }
    }
    return lead;
}
} // namespace

std::optional<GhostRun> readGhostRun(std::string_view text, std::string& error,
                                     uint64_t slotBudget) {
    // The same check a hall-of-fame entry gets: a run that does not replay
    // to a score is no run to race.
    const RecordingReplay replay = replayRecording(text, slotBudget);
    if (!replay.score) {
        error = replay.failure;
        return std::nullopt;
    }
    GhostRun run;
    run.seed = replay.seed;
    run.high = recordingHeaderOf(text)->high.value_or("0");
    run.events = parseInput(text).events;
    run.leadEvents = leadOf(run.events, run.seed, run.high);
    run.score = *replay.score;
    return run;
}

void leadUp(const GhostRun& run, SlotRunner& runner, Game& game) {
    // The jingle of the load belongs to no slot.
    game.takeSounds();
    for (std::size_t i = 0; i < run.leadEvents && !game.ended(); ++i) {
        const InputEvent& event = run.events[i];
        if (runner.slot() < event.slot) {
            while (runner.slot() < event.slot && !game.ended()) {
                runner.runSlot();
            }
            game.takeSounds(); // of slots gone by
        }
        runner.input(event);
    }
}

BestSave LeadBest::save(std::string_view caption) {
    if (leading_) {
        BestSave kept;
        kept.saved = true;
        return kept;
    }
    return store_.save(caption);
}

RoadDistance::RoadDistance(const Form& form) : lastTop_(form.imgMarker(1).Top) {}

void RoadDistance::follow(const Form& form) {
    const Control& dash = form.imgMarker(1);
    double moved = dash.Top - lastTop_;
    if (moved < 0) {
        moved += double(dash.Height) * 14; // wrapped to the top
    }
    pixels_ += std::lround(moved);
    lastTop_ = dash.Top;
}

GhostRace::GhostRace(GhostRun run, const Form& player)
    : run_(std::move(run)), best_(run_.high),
      game_(host_, {.folders = {}, .seed = run_.seed, .highScoreStore = &best_}),
      runner_(game_, game_.form()),
      lastGame_(run_.events.begin() + std::ptrdiff_t(run_.leadEvents), run_.events.end()),
      feed_(lastGame_), ghostRoad_(game_.form()), playerRoad_(player),
      playerTicks_(player.TickCount), playerScore_(player.lblScore().Caption) {
    game_.start();
    leadUp(run_, runner_, game_);
    ghostRoad_ = RoadDistance(game_.form());
    lastSlot_ = runner_.slot() - 1;
}

bool GhostRace::ghostFinished() const {
    return game_.ended() || ghost().GameOver;
}

void GhostRace::runSlot(const Form& player) {
    followPlayer(player);
    if (ghostFinished()) {
        return;
    }
    if (!feed_.deliver(runner_, game_, runner_.slot())) {
        return; // its run ended with Exit
    }
    const SlotRunner::Slot ran = runner_.runSlot();
    lastSlot_ = ran.number;
    lastTicked_ = ran.ticked;
    lastSounds_ = game_.takeSounds();
    ghostRoad_.follow(ghost());
}

void GhostRace::followPlayer(const Form& player) {
    if (playerFinished_) {
        return;
    }
    // Fewer ticks than last seen: a new game began without a crash.
    if (player.TickCount < playerTicks_) {
        playerFinished_ = true;
        return;
    }
    playerTicks_ = player.TickCount;
    playerRoad_.follow(player);
    playerScore_ = player.lblScore().Caption;
    playerFinished_ = player.GameOver || player.ExitRequested;
}

std::optional<RaceResult> GhostRace::result() const {
    if (!playerFinished_) {
        return std::nullopt;
    }
    const double lead = leadingNumber(playerScore_) - leadingNumber(run_.score);
    RaceResult result;
    result.by = std::abs(lead);
    if (lead > 0) {
        result.ahead = RaceResult::Ahead::Player;
    } else if (lead < 0) {
        result.ahead = RaceResult::Ahead::Ghost;
    }
    return result;
}

std::string raceWords(const RaceResult& result, std::string_view run) {
    const std::string by = numberText(result.by);
    std::string opening(run); // "the run" opens its sentence as "The run"
    if (!opening.empty() && opening[0] >= 'a' && opening[0] <= 'z') {
        opening[0] = char(opening[0] - 'a' + 'A');
    }
    switch (result.ahead) {
    case RaceResult::Ahead::Player:
        return "You beat " + std::string(run) + " by " + by;
    case RaceResult::Ahead::Ghost:
        return opening + " is ahead by " + by + ": Enter to race again";
    case RaceResult::Ahead::Level:
        break;
    }
    return "You and " + std::string(run) + " finished level: Enter to race again";
}

std::string GhostRace::lastRecord() const {
    return recordLine(ghost(), lastSlot_, lastTicked_, lastSounds_);
}

} // namespace kestrada::session
