// SPDX-License-Identifier: GPL-3.0-or-later
#include "web/page_game.h"

#include "app/help_texts.h"
#include "app/high_score_file.h"
#include "session/recording.h"
#include "session/trace_writer.h"
#include "web/page_high_score_store.h"
#include "web/page_library.h"

#include <filesystem>
#include <system_error>

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
}

void PageGame::newGame(uint32_t seed, const std::string& dataDir) {
    // The page's sound outlives a game: the old one's players fall silent
    // and go back to their starts before the new one plays.
    if (game_) {
        game_->soundLog.clear();
        for (SilentSoundPlayer* player : {&game_->sndStart, &game_->sndCrash, &game_->sndMusic}) {
            player->stop();
            player->setPosition(0);
        }
        sounds_(game_->soundLog);
    }
    game_ = std::make_unique<session::HeadlessGame>(std::filesystem::path(dataDir), seed);
    game_->form.host = &host_;
    // Only the player's own games write through to the browser's storage.
    if (dataDir == kDataDir) {
        game_->form.highScoreStore = &playerHighScoreStore();
    }
    host_.ended = false;
    seed_ = seed;
    slot_ = 0;
    pending_.clear();
    recording_ = session::recordingHeader(seed, session::startingBest(dataDir)) + "\n";
}

void PageGame::start() {
    game_->soundLog.clear();
    game_->form.Form_Load();
    sounds_(game_->soundLog);
    game_->soundLog.clear();
}

void PageGame::queue(InputEvent event) {
    if (!replaying_ && !host_.ended) {
        pending_.push_back(event);
    }
}

void PageGame::musicEnded() {
    InputEvent event;
    event.action = InputAction::MusicEnded;
    // The end of the music belongs to the game whether played or replayed:
    // a replay's own music-ended lines stand in for it.
    if (!replaying_) {
        pending_.push_back(event);
    }
}

void PageGame::deliver(const InputEvent& event) {
    if (!replaying_ && !session::changesNothing(game_->form, event)) {
        recording_ += session::inputLine(event) + "\n";
    }
    game_->deliver(event);
}

void PageGame::runSlot() {
    if (host_.ended || (replaying_ && held_)) {
        return;
    }
    ++slot_;
    game_->soundLog.clear();
    std::vector<InputEvent> events;
    events.swap(pending_);
    if (replaying_) {
        for (; scriptNext_ < script_.size() && script_[scriptNext_].slot == slot_; ++scriptNext_) {
            events.push_back(script_[scriptNext_]);
        }
    }
    for (InputEvent& event : events) {
        event.slot = static_cast<uint32_t>(slot_);
        deliver(event);
        if (host_.ended) {
            break;
        }
    }
    lastTicked_ = !host_.ended && game_->tick();
    lastSounds_ = game_->soundLog;
    sounds_(game_->soundLog);
}

void PageGame::endReplay(uint32_t seed) {
    const std::string lastRun = recording_;
    newGame(seed, kDataDir);
    recording_ = lastRun;
    replaying_ = false;
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
    script_ = parse.events;
    scriptNext_ = 0;
    replaying_ = true;
    held_ = false;
    start();
    return true;
}

std::string PageGame::state() const {
    std::string out;
    session::appendRecord(out, game_->form, slot_, lastTicked_, lastSounds_);
    while (!out.empty() && out.back() == '\n') {
        out.pop_back();
    }
    return out;
}

} // namespace kestrada::web
