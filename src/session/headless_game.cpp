// SPDX-License-Identifier: GPL-3.0-or-later
#include "session/headless_game.h"

#include "sound/sound_player.h"

namespace kestrada::session {

HeadlessGame::HeadlessGame(std::filesystem::path appPath, std::optional<uint32_t> seed)
    : HeadlessGame(GameFolders{appPath, appPath}, seed) {}

HeadlessGame::HeadlessGame(const GameFolders& folders, std::optional<uint32_t> seed)
    : highScoreStore(folders.highScore / kHighScoreFileName) {
    form.highScoreStore = &highScoreStore;
    form.sndStart = &sndStart;
    form.sndCrash = &sndCrash;
    form.sndMusic = &sndMusic;
    form.host = &host;
    form.appPath = folders.gameData;
    form.seedOverride = seed;
}

void HeadlessGame::start() {
    form.Form_Load();
    soundLog.clear();
}

void HeadlessGame::handle(const InputEvent& event) {
    if (event.action == InputAction::MusicEnded) {
        // Only a playing track can reach its end; a silent one ends when told.
        if (sndMusic.mode() != kModePlaying) {
            return;
        }
        sndMusic.finish();
    }
    handleInput(form, event);
}

bool HeadlessGame::tick() {
    if (!form.tmrMain.Enabled) {
        return false;
    }
    form.tmrMain_Timer();
    return true;
}

} // namespace kestrada::session
