// SPDX-License-Identifier: GPL-3.0-or-later
#include "web/page_game.h"

#include "app/help_texts.h"
#include "session/recording.h"
#include "session/trace_writer.h"
#include "storage/high_score_file.h"
#include "web/page_high_score_store.h"
#include "web/page_library.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <system_error>
#include <utility>

namespace kestrada::web {

using session::InputAction;
using session::InputEvent;

uint32_t PageHost::millisecondsSinceMidnight() {
    return page_milliseconds_since_midnight();
}

void PageHost::showHelp() {
    page_show_dialog(kHelpCaption, helpInstructions().c_str());
}

void PageHost::showMessage(const std::string& title, const std::string& text) {
    page_show_dialog(title.c_str(), text.c_str());
}

PageGame::PageGame(uint32_t seed, SoundOut sounds) : seed_(seed), sounds_(std::move(sounds)) {
    newGame(seed, kDataDir);
    setWorldServer("");
    hallOfFame_.setOnNamed([this](const HallOfFameLine& line) {
        world_->entryNamed(line);
        page_persist();
    });
}

void PageGame::setWorldServer(const std::string& url) {
    world_ = std::make_unique<session::HallOfFameWorld>(kDataDir, url);
}

void PageGame::silence() {
    game_->takeSounds();
    game_->silence();
    sounds_(game_->takeSounds());
}

void PageGame::newGame(uint32_t seed, const std::string& dataDir) {
    // The page's sound outlives a game: the old one's players fall silent
    // and go back to their starts before the new one plays.
    if (game_) {
        silence();
    }
    runner_.reset();
    // Only the player's own games write through to the browser's storage.
    HighScoreStore* store = dataDir == kDataDir ? &playerHighScoreStore() : nullptr;
    game_ = std::make_unique<session::Game>(
        host_,
        session::GameSetup{.folders = {dataDir, dataDir}, .seed = seed, .highScoreStore = store});
    runner_ = std::make_unique<session::SlotRunner>(*game_, game_->form());
    runner_->setRecorder([this](const InputEvent& event) {
        if (!runner_->replaying()) {
            recording_ += session::inputLine(event) + "\n";
            sessionRecording_ += session::inputLine(event) + "\n";
        }
    });
    seed_ = seed;
    lastSlot_ = 0;
    lastTicked_ = false;
    slotSounds_.clear();
    lastSounds_.clear();
    recording_ =
        session::recordingHeader(seed, session::startingBest(*game_->form().highScoreStore)) + "\n";
    sessionRecording_ = recording_;
    crashSeen_ = false;
    exitSeen_ = false;
}

void PageGame::start() {
    game_->start();
    sounds_(game_->takeSounds());
}

void PageGame::flushSounds() {
    const std::vector<std::string> calls = game_->takeSounds();
    slotSounds_.insert(slotSounds_.end(), calls.begin(), calls.end());
    sounds_(calls);
}

void PageGame::input(const InputEvent& event) {
    runner_->input(event);
    flushSounds();
    keepEndedGame();
}

void PageGame::musicEnded() {
    // The end of the music belongs to the game whether played or replayed:
    // a replay's own music-ended lines stand in for it.
    InputEvent event;
    event.action = InputAction::MusicEnded;
    input(event);
}

void PageGame::runSlot() {
    const session::SlotRunner::Slot slot = runner_->runSlot();
    flushSounds();
    if (slot.ran) {
        lastSlot_ = slot.number;
        lastTicked_ = slot.ticked;
        lastSounds_ = std::exchange(slotSounds_, {});
    }
    if (slot.replayEnded) {
        silence();
    }
    keepEndedGame();
    hallOfFame_.poll();
    world_->follow(hallOfFame_);
    if (const auto seed = world_->takeRoadSeed(); seed && !runner_->replaying()) {
        newSession(*seed);
        world_->setRoad(world_->roadDay());
    }
    if (const auto run = world_->takeDownloadedRun()) {
        std::string error; // a run the server gave garbled replays nothing
        replay(*run, error);
    }
}

void PageGame::keepEndedGame() {
    const Form& form = game_->form();
    const bool crashed = form.GameOver && !crashSeen_;
    crashSeen_ = form.GameOver;
    const bool exited = ended() && !exitSeen_;
    exitSeen_ = ended();
    hallOfFame_.follow(form); // a replay chosen from the panel runs without it
    if ((crashed || exited) &&
        hallOfFame_.gameEnded(form, !crashed, runner_->replaying(), sessionRecording_)) {
        world_->gameEnded(hallOfFame_, form.lblScore().Caption, sessionRecording_,
                          session::localTimeNow());
        page_persist();
    }
}

void PageGame::askForTodaysRoad() {
    world_->askRoad();
    if (!hallOfFame_.shown()) {
        toggleHallOfFame(); // the panel says what became of it
    }
}

void PageGame::toggleHallOfFame() {
    if (hallOfFame_.toggle(game_->form())) {
        input({.action = InputAction::Menu, .command = session::MenuCommand::mnuPause});
    }
}

bool PageGame::hallOfFameKey(std::string_view key, bool down, bool repeat) {
    using Key = session::HallOfFamePanel::Key;
    static const std::pair<std::string_view, Key> kKeys[] = {
        {"Enter", Key::Enter},    {"Escape", Key::Esc},     {"Backspace", Key::Backspace},
        {"Delete", Key::Delete},  {"ArrowLeft", Key::Left}, {"ArrowRight", Key::Right},
        {"Home", Key::Home},      {"End", Key::End},        {"ArrowUp", Key::Up},
        {"ArrowDown", Key::Down},
    };
    if (!hallOfFame_.shown()) {
        return false;
    }
    const auto named = std::find_if(std::begin(kKeys), std::end(kKeys),
                                    [&](const auto& k) { return k.first == key; });
    std::optional<Key> panelKey;
    std::string_view typed;
    if (named != std::end(kKeys)) {
        panelKey = named->second;
    } else if (key == "Tab") {
        typed = "\t";             // the next view: the world's table, today's road
    } else if (key.size() <= 4) { // one character: "a", "ë", " "
        typed = key;
    }
    const bool editing = hallOfFame_.editing();
    const bool taken = world_->press(hallOfFame_, panelKey, typed, down, repeat);
    if (editing && !hallOfFame_.editing()) {
        page_persist(); // the name given is kept
    }
    replayChosenRun();
    return taken;
}

bool PageGame::hallOfFameClick(double x, double y) {
    const bool editing = hallOfFame_.editing();
    const auto click = world_->click(hallOfFame_, game_->form(), x, y);
    if (editing && !hallOfFame_.editing()) {
        page_persist();
    }
    if (click == session::HallOfFamePanel::Click::NewGame) {
        input({.action = InputAction::Menu, .command = session::MenuCommand::cmdNewGame});
    }
    replayChosenRun();
    return click != session::HallOfFamePanel::Click::Missed;
}

void PageGame::replayChosenRun() {
    const auto run = hallOfFame_.takeChosen();
    if (!run) {
        return;
    }
    std::ifstream file(*run, std::ios::binary);
    std::ostringstream text;
    text << file.rdbuf();
    std::string error; // a run gone missing replays nothing
    replay(text.str(), error);
}

void PageGame::endReplay(uint32_t seed) {
    const std::string lastRun = recording_;
    newGame(seed, kDataDir);
    recording_ = lastRun;
    start();
}

void PageGame::newSession(uint32_t seed) {
    newGame(seed, kDataDir);
    start();
}

bool PageGame::replay(std::string_view text, std::string& error) {
    const session::InputParse parse = session::parseInput(text);
    if (!parse.ok()) {
        error = parse.message();
        return false;
    }
    const auto header = session::recordingHeaderOf(text);
    // The replay plays from the best the recording started from, or from a
    // copy of the stored one for a recording older than that; it saves
    // nothing over the player's own.
    std::error_code ignored;
    std::filesystem::create_directories(kReplayDir, ignored);
    const auto replayFile = std::filesystem::path(kReplayDir) / kHighScoreFileName;
    if (header && header->high) {
        writeHighScore(replayFile, *header->high);
    } else {
        std::filesystem::copy_file(std::filesystem::path(kDataDir) / kHighScoreFileName, replayFile,
                                   std::filesystem::copy_options::overwrite_existing, ignored);
    }
    // A replay is not a run of its own: the last run stays downloadable.
    const std::string lastRun = recording_;
    newGame(header ? header->seed : seed_, kReplayDir);
    recording_ = lastRun;
    start();
    runner_->replay(parse.events);
    return true;
}

std::string PageGame::state() const {
    std::string out;
    session::appendRecord(out, game_->form(), lastSlot_, lastTicked_, lastSounds_);
    while (!out.empty() && out.back() == '\n') {
        out.pop_back();
    }
    return out;
}

} // namespace kestrada::web
