// SPDX-License-Identifier: GPL-3.0-or-later
#include "play/play.h"

#include "app/key_codes.h"
#include "app/running.h"
#include "halloffame/hall_of_fame.h"
#include "scene/ghost_overlay.h"
#include "scene/hall_of_fame.h"
#include "session/recorded_best.h"
#include "session/recording.h"
#include "session/trace_writer.h"
#include "storage/hall_of_fame_file.h"
#include "storage/high_score_file.h"
#include "world/downloaded_run.h"

#include <algorithm>
#include <fstream>
#include <iterator>
#include <utility>

namespace kestrada::session {

namespace {
InputEvent menuEvent(MenuCommand command) {
    InputEvent event;
    event.action = InputAction::Menu;
    event.command = command;
    return event;
}

// The player's store, read once when the session starts: the recording's
// header and the dashboard show the same best, even if another game saves
// one meanwhile. Saves go to the store as they come.
class StartingBest : public HighScoreStore {
  public:
    explicit StartingBest(HighScoreStore& store) : store_(store), read_(store.load()) {}
    std::optional<std::string> load() override { return read_; }
    BestSave save(std::string_view caption) override { return store_.save(caption); }
    std::string where() const override { return store_.where(); }

  private:
    HighScoreStore& store_;
    std::optional<std::string> read_;
};
} // namespace

// One game and the runner of its slots.
struct Play::Round {
    std::unique_ptr<Game> game;
    std::unique_ptr<SlotRunner> runner;
    std::vector<std::string> slotSounds; // the calls since its last slot
    bool crashSeen = false;
    bool exitSeen = false;
};

// A replay's host: the help window and the About box its recording asks
// for do not open, or the replay would stand still until someone closes
// them; the pause that came with them still happens, as recorded.
class Play::QuietHost : public Host {
  public:
    explicit QuietHost(Host& host) : host_(host) {}
    uint32_t millisecondsSinceMidnight() override { return host_.millisecondsSinceMidnight(); }
    void showHelp() override {}
    void showMessage(const std::string&, const std::string&) override {}
    void endProgram() override {}

  private:
    Host& host_;
};

Play::Play(Host& host, PlaySetup setup)
    : host_(host), setup_(std::move(setup)), quietHost_(std::make_unique<QuietHost>(host)),
      policy_([this](const InputEvent& event) { input(event); }),
      panel_(setup_.folders.highScore, std::move(setup_.checks)) {
    const auto recorder = [this](const InputEvent& event) { append(inputLine(event) + "\n"); };
    if (setup_.replay) {
        // The recording is the replay's own: --record copies it.
        seed_ = setup_.replay->seed;
        replayBest_ = std::make_unique<RecordedBest>(setup_.replay->best);
        replay_ = makeRound(*quietHost_, seed_, *replayBest_);
        recording_ = recordingHeader(seed_, setup_.replay->best) + "\n";
        replay_->runner->setRecorder(recorder);
    } else {
        if (setup_.highScoreStore == nullptr) {
            fileStore_ =
                std::make_unique<FileHighScoreStore>(setup_.folders.highScore / kHighScoreFileName);
            setup_.highScoreStore = fileStore_.get();
        }
        startingBest_ = std::make_unique<StartingBest>(*setup_.highScoreStore);
        seed_ = setup_.race ? setup_.race->run.seed : setup_.seed;
        leadBest_ = std::make_unique<LeadBest>(*startingBest_);
        player_ = makeRound(host_, seed_, *leadBest_);
        recording_ = recordingHeader(seed_, startingBest(*startingBest_)) + "\n";
        player_->runner->setRecorder(recorder);
    }
    live_ = std::make_unique<scene::LiveScene>(form());
    setWorldServer("");
    panel_.setOnNamed([this](const HallOfFameLine& line) { world_->entryNamed(line); });
}

Play::~Play() = default;

void Play::setWorldServer(const std::string& url) {
    world_.reset(); // lets the folder's sender lock go for the new one
    world_ = std::make_unique<HallOfFameWorld>(setup_.folders.highScore, url, panel_.namingRun());
    world_->setRaceLeader(raceLeader_);
}

void Play::setRaceTodaysLeader(bool on) {
    raceLeader_ = on;
    world_->setRaceLeader(on);
}

void Play::keepLastName() {
    if (panel_.editing()) {
        panel_.press(HallOfFamePanel::Key::Esc, "", true, false);
    }
}

void Play::close() {
    if (panel_.editing()) {
        keepLastName();
        emit(PlayEvent::Stored);
    }
}

void Play::askForTodaysRoad() {
    if (replaying()) {
        return;
    }
    world_->askRoad();
    if (!panel_.shown()) {
        toggleHallOfFame();
    }
    settle();
}

Play::Round& Play::shown() const {
    return replay_ ? *replay_ : *player_;
}

const Form& Play::form() const {
    return shown().game->form();
}

bool Play::held() const {
    return shown().runner->held();
}

std::string Play::title() const {
    return runTitle(*shown().runner);
}

std::unique_ptr<Play::Round> Play::makeRound(Host& host, uint32_t seed, HighScoreStore& store) {
    auto round = std::make_unique<Round>();
    const GameSetup game{.folders = setup_.folders, .seed = seed, .highScoreStore = &store};
    round->game = setup_.players ? std::make_unique<Game>(*setup_.players, host, game)
                                 : std::make_unique<Game>(host, game);
    round->runner = std::make_unique<SlotRunner>(*round->game, round->game->form());
    return round;
}

void Play::start(std::function<void(PlayEvent)> listener) {
    listener_ = std::move(listener);
    shown().game->start();
    if (setup_.replay) {
        shown().runner->replay(std::move(setup_.replay->events));
    }
    // The jingle of the load belongs to no slot.
    const std::vector<std::string> calls = shown().game->takeSounds();
    if (setup_.soundCalls) {
        setup_.soundCalls(calls);
    }
    startRace();
    settle();
}

void Play::startRace() {
    if (setup_.race) {
        leadUp(setup_.race->run, *player_->runner, *player_->game);
        race_ = std::make_unique<GhostRace>(setup_.race->run, form());
        showFromItsLastSlot();
    }
    if (leadBest_) {
        leadBest_->raceOn();
    }
}

void Play::teeRecording(std::function<void(std::string_view)> tee) {
    tee_ = std::move(tee);
    if (tee_) {
        tee_(recording_);
    }
}

void Play::append(const std::string& text) {
    recording_ += text;
    if (tee_) {
        tee_(text);
    }
}

void Play::input(const InputEvent& event) {
    if (!raceAgain(event)) {
        shown().runner->input(event);
    }
}

bool Play::raceAgain(const InputEvent& event) {
    // Enter after the race's crash, which would begin a new game, races
    // the same run again from its start, in a session of its own.
    if (!race_ || replay_ || !race_->playerFinished() || !form().GameOver ||
        event.action != InputAction::KeyDown || event.keyCode != kKeyEnter) {
        return false;
    }
    const GhostRun& run = setup_.race->run;
    std::string text = recordingHeader(run.seed, run.high) + "\n";
    for (const InputEvent& e : run.events) {
        text += inputLine(e) + "\n";
    }
    // A private file of its own, never a name another user could have laid.
    const auto file = keepDownloadedRun(text);
    if (!file) {
        return false;
    }
    chosenRun_ = *file;
    chosenRace_ = setup_.race;
    emit(PlayEvent::RaceChosen);
    return true;
}

void Play::key(int16_t code, bool down, bool repeat) {
    policy_.key(code, down, repeat);
    settle();
}

void Play::padReading(int pad, const PadReading& reading) {
    policy_.padReading(pad, reading, form().GameOver);
    settle();
}

void Play::padButton(int pad, PadButton button, bool down) {
    policy_.padButton(pad, button, down, form().GameOver);
    settle();
}

void Play::padAxis(int pad, PadAxis axis, double deflection) {
    policy_.padAxis(pad, axis, deflection);
    settle();
}

void Play::padGone(int pad) {
    policy_.padGone(pad);
    settle();
}

void Play::touches(const std::set<int16_t>& held) {
    policy_.touches(held);
    settle();
}

void Play::menu(MenuCommand command) {
    input(menuEvent(command));
    settle();
}

void Play::musicEnded() {
    // A replay has the music's ends in its recording: its runner ignores this.
    InputEvent event;
    event.action = InputAction::MusicEnded;
    input(event);
    settle();
}

void Play::leave() {
    policy_.releaseKeyboard();
    policy_.touches({});
    policy_.setPadsInFront(false);
    // As Esc does, once, and recorded; a replay has its own pauses.
    if (!replaying() && running(form())) {
        input(menuEvent(MenuCommand::mnuPause));
    }
    settle();
}

void Play::toggleHallOfFame() {
    if (replaying()) {
        return; // a replay's games are someone else's
    }
    const bool editing = panel_.editing();
    if (panel_.toggle(form())) {
        // As help does: the game waits while the table is looked at.
        input(menuEvent(MenuCommand::mnuPause));
    }
    if (editing && !panel_.editing()) {
        emit(PlayEvent::Stored);
    }
    settle();
}

bool Play::panelKey(std::optional<HallOfFamePanel::Key> key, std::string_view typed, bool down,
                    bool repeat) {
    if (replaying()) {
        return false;
    }
    const bool editing = panel_.editing();
    // R races the chosen row's run, in a session of its own; a world row's
    // once it is downloaded, as Enter would replay it.
    if (!key && (typed == "r" || typed == "R") && down && !repeat && !editing) {
        if (world_->view() != HallOfFameWorld::View::Local) {
            raceDownload_ = world_->press(panel_, HallOfFamePanel::Key::Enter, "", true, false);
            settle();
            return true;
        }
        if (raceChosenRow()) {
            return true;
        }
    }
    if (key == HallOfFamePanel::Key::Enter) {
        raceDownload_ = false; // a row chosen to replay
    }
    const bool taken = world_->press(panel_, key, typed, down, repeat);
    if (editing && !panel_.editing()) {
        emit(PlayEvent::Stored); // the name given is kept
    }
    settle();
    return taken;
}

bool Play::click(double x, double y) {
    if (replaying()) {
        return false;
    }
    const bool editing = panel_.editing();
    raceDownload_ = false; // a row clicked is to replay
    const HallOfFamePanel::Click click = world_->click(panel_, form(), x, y);
    if (editing && !panel_.editing()) {
        emit(PlayEvent::Stored);
    }
    if (click == HallOfFamePanel::Click::NewGame) {
        input(menuEvent(MenuCommand::cmdNewGame));
    }
    settle();
    return click != HallOfFamePanel::Click::Missed;
}

SlotRunner::Slot Play::runSlot(double slotMs) {
    SlotRunner::Slot slot;
    // The player's slots go on behind a replay, so that the session's
    // recording keeps the time as it passed.
    if (player_) {
        slot = player_->runner->runSlot();
        if (race_ && slot.ran) {
            race_->runSlot(player_->game->form());
        }
    }
    if (replay_) {
        slot = replay_->runner->runSlot();
    }
    if (slot.replayEnded) {
        shown().game->silence(); // it stands as it ended, quiet
    }
    if (slot.ticked) {
        live_->ticked(form(), slotMs, raceOverlay());
    }
    flushSounds();
    if (slot.ran) {
        lastSlot_ = slot.number;
        lastTicked_ = slot.ticked;
        lastSounds_ = shown().slotSounds;
    }
    // Each game's calls since its last slot: those of a game not shown go
    // only to the front end's sound.
    for (Round* round : {player_.get(), replay_.get()}) {
        if (round != nullptr) {
            round->slotSounds.clear();
        }
    }
    panel_.poll();
    settle();
    return slot;
}

bool Play::replay(std::string_view text, std::string& error) {
    const bool started = startReplay(text, error);
    settle();
    return started;
}

bool Play::startReplay(std::string_view text, std::string& error) {
    if (!player_) {
        error = "a replay replays nothing else";
        return false;
    }
    const InputParse parse = parseInput(text);
    if (!parse.ok()) {
        error = parse.message();
        return false;
    }
    if (replay_) {
        endReplay();
    }
    if (running(form())) {
        input(menuEvent(MenuCommand::mnuPause));
    }
    player_->game->silence();
    flushSounds();
    // From the best the recording started from, or for a recording older
    // than that from the player's; nothing it beats is kept.
    const auto header = recordingHeaderOf(text);
    replayBest_ = std::make_unique<RecordedBest>(
        header && header->high ? *header->high : startingBest(*setup_.highScoreStore));
    replay_ = makeRound(*quietHost_, header ? header->seed : seed_, *replayBest_);
    replay_->game->start();
    replay_->runner->replay(parse.events);
    showFromItsLastSlot();
    live_ = std::make_unique<scene::LiveScene>(form());
    live_->setSmoothing(smoothing_);
    return true;
}

void Play::endReplay() {
    replay_->game->silence();
    flushSounds();
    replay_.reset();
    replayBest_.reset();
    showFromItsLastSlot();
    live_ = std::make_unique<scene::LiveScene>(form());
    live_->setSmoothing(smoothing_);
}

void Play::showFromItsLastSlot() {
    lastSlot_ = shown().runner->slot() - 1;
    lastTicked_ = false;
    lastSounds_.clear();
}

void Play::settle() {
    if (settling_) {
        return;
    }
    settling_ = true;
    flushSounds();
    if (player_) {
        followEnds(*player_, true);
    }
    if (replay_) {
        followEnds(*replay_, false);
    }
    takeChosenRun();
    takeWorldResults();
    // Exit in a replay played in place returns to the player's game.
    if (replay_ && player_ && replay_->game->ended()) {
        endReplay();
    }
    settling_ = false;
}

void Play::followEnds(Round& round, bool player) {
    const Form& form = round.game->form();
    const bool crashed = form.GameOver && !round.crashSeen;
    round.crashSeen = form.GameOver;
    const bool exited = round.game->ended() && !round.exitSeen;
    round.exitSeen = round.game->ended();
    if (player && race_) {
        race_->followPlayer(form);
    }
    if (player) {
        const bool editing = panel_.editing();
        if (exited) {
            keepLastName();
        }
        panel_.follow(form);
        const bool kept =
            (crashed || exited) && panel_.gameEnded(form, !crashed, false, recording_);
        if (kept) {
            world_->gameEnded(panel_, form.lblScore().Caption, recording_, localTimeNow());
        }
        world_->follow(panel_);
        if (kept || (editing && !panel_.editing())) {
            emit(PlayEvent::Stored);
        }
    }
    if (crashed) {
        emit(PlayEvent::Crashed);
    }
    if (exited && (player || !player_)) {
        ended_ = true;
        emit(PlayEvent::Exited);
    }
}

void Play::takeChosenRun() {
    const auto run = panel_.takeChosen();
    if (!run) {
        return;
    }
    if (setup_.chosenRuns == ChosenRuns::OwnWindow) {
        chosenRun_ = *run;
        emit(PlayEvent::ReplayChosen);
        return;
    }
    std::ifstream file(*run, std::ios::binary);
    const std::string text{std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
    std::string error; // a run gone missing replays nothing
    startReplay(text, error);
}

void Play::takeWorldResults() {
    if (const auto seed = world_->takeRoadSeed(); seed && !replaying()) {
        roadSeed_ = *seed;
        roadRace_ = takeRoadLeader(*seed);
        emit(PlayEvent::RoadChosen);
    }
    const auto run = world_->takeDownloadedRun();
    if (!run) {
        return;
    }
    if (std::exchange(raceDownload_, false)) {
        std::string error; // a run the server gave that does not replay races nothing
        auto ghost = readGhostRun(*run, error);
        const auto file = ghost ? keepDownloadedRun(*run) : std::nullopt;
        if (file) {
            chosenRun_ = *file;
            chosenRace_ = Race{std::move(*ghost), "the world's run"};
            emit(PlayEvent::RaceChosen);
        }
        return;
    }
    if (setup_.chosenRuns == ChosenRuns::OwnWindow) {
        // Not in runs/: it is no entry of the player's.
        if (const auto file = keepDownloadedRun(*run)) {
            chosenRun_ = *file;
            emit(PlayEvent::ReplayChosen);
        }
        return;
    }
    std::string error; // a run the server gave garbled replays nothing
    startReplay(*run, error);
}

std::optional<Race> Play::takeRoadLeader(uint32_t seed) {
    const auto leader = world_->takeRoadLeader();
    if (!leader) {
        return std::nullopt;
    }
    // A run that does not replay, or is of another road, is raced by no one:
    // the road is played alone.
    std::string error;
    auto run = readGhostRun(leader->text, error);
    if (!run || run->seed != seed) {
        return std::nullopt;
    }
    const auto file = keepDownloadedRun(leader->text);
    if (!file) {
        return std::nullopt;
    }
    chosenRun_ = *file;
    const std::string name = cleanName(leader->name);
    return Race{std::move(*run), name.empty() ? "today's leader" : name + "'s run"};
}

void Play::flushSounds() {
    std::vector<std::string> calls;
    for (Round* round : {player_.get(), replay_.get()}) {
        if (round != nullptr) {
            const auto taken = round->game->takeSounds();
            round->slotSounds.insert(round->slotSounds.end(), taken.begin(), taken.end());
            calls.insert(calls.end(), taken.begin(), taken.end());
        }
    }
    if (calls.empty()) {
        return;
    }
    if (setup_.soundCalls) {
        setup_.soundCalls(calls);
    }
}

void Play::emit(PlayEvent event) {
    if (listener_) {
        listener_(event);
    }
}

scene::Scene Play::scene(double nowMs) const {
    scene::Scene shown = live_->frame(form(), nowMs, held(), raceOverlay());
    if (tableShown()) {
        scene::HallOfFameView view = world_->view(panel_);
        if (const std::string words = raceWords(); !words.empty()) {
            view.notes.insert(view.notes.begin(), words);
        }
        if (!panel_.editing() &&
            (world_->view() != HallOfFameWorld::View::Local || panel_.highlightedRun())) {
            view.notes.push_back("R: Race this run");
        }
        scene::addHallOfFame(shown, form(), view);
    }
    return shown;
}

void Play::setSmoothing(bool on) {
    smoothing_ = on;
    live_->setSmoothing(on);
}

std::string Play::lastRecord() const {
    return recordLine(form(), lastSlot_, lastTicked_, lastSounds_);
}

bool Play::raceChosenRow() {
    const auto run = panel_.highlightedRun();
    HallOfFameFile table;
    std::string error;
    if (!run || !readHallOfFame(setup_.folders.highScore, table, error)) {
        return false;
    }
    std::ifstream file(*run, std::ios::binary);
    const std::string text{std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
    auto ghost = readGhostRun(text, error);
    const auto line =
        std::find_if(table.lines.begin(), table.lines.end(),
                     [&](const HallOfFameLine& l) { return l.run == run->filename(); });
    if (!ghost || line == table.lines.end()) {
        return false;
    }
    chosenRace_ = Race{std::move(*ghost), line->name + "'s run"};
    chosenRun_ = *run;
    emit(PlayEvent::RaceChosen);
    return true;
}

scene::Scene Play::raceOverlay() const {
    // Nothing over a replay, nor over a game begun after the race's own.
    if (!race_ || replay_ || (race_->playerFinished() && !form().GameOver)) {
        return {};
    }
    // Under the hall of fame the end words are its first note instead.
    return scene::ghostOverlay(form(),
                               {race_->ghost(), race_->gap(), tableShown() ? "" : raceWords()});
}

std::string Play::raceWords() const {
    const auto result = race_ ? race_->result() : std::nullopt;
    return result ? session::raceWords(*result, setup_.race->name) : std::string();
}

} // namespace kestrada::session
