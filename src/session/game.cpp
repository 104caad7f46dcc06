// SPDX-License-Identifier: GPL-3.0-or-later
#include "session/game.h"

#include "sound/sound_player.h"

#include <utility>

namespace kestrada::session {

void Game::EndNotingHost::endProgram() {
    ended_ = true;
    host_.endProgram();
}

Game::SilentPlayers::SilentPlayers() = default;

Game::Game(SoundPlayers players, Host& host, const GameSetup& setup) : host_(host) {
    wire(players, setup);
}

Game::Game(Host& host, const GameSetup& setup) : silent_(std::in_place), host_(host) {
    wire({silent_->start, silent_->crash, silent_->music}, setup);
}

void Game::wire(SoundPlayers players, const GameSetup& setup) {
    form_.sndStart = &players.start;
    form_.sndCrash = &players.crash;
    form_.sndMusic = &players.music;
    form_.host = &host_;
    form_.appPath = setup.folders.gameData;
    form_.highScoreStore = setup.highScoreStore != nullptr
                               ? setup.highScoreStore
                               : &fileStore_.emplace(setup.folders.highScore / kHighScoreFileName);
    form_.seedOverride = setup.seed;
}

void Game::handle(const InputEvent& event) {
    if (event.action == InputAction::MusicEnded && silent_) {
        // Only a playing track can reach its end; a silent one ends when told.
        if (silent_->music.mode() != kModePlaying) {
            return;
        }
        silent_->music.finish();
    }
    handleInput(form_, event);
}

bool Game::tick() {
    if (!form_.tmrMain.Enabled) {
        return false;
    }
    form_.tmrMain_Timer();
    return true;
}

std::vector<std::string> Game::takeSounds() {
    return silent_ ? std::exchange(silent_->log, {}) : std::vector<std::string>{};
}

void Game::silence() {
    for (SoundPlayer* player : {form_.sndStart, form_.sndCrash, form_.sndMusic}) {
        player->stop();
        player->setPosition(0);
    }
}

} // namespace kestrada::session
