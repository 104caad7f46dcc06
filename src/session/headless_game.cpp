// SPDX-License-Identifier: GPL-3.0-or-later
#include "session/headless_game.h"

#include "sound/sound_player.h"

#include <utility>

namespace kestrada::session {

HeadlessGame::HeadlessGame(const GameFolders& folders, std::optional<uint32_t> seed)
    : HeadlessGame(folders.gameData, seed) {
    form.highScoreDir = folders.highScore;
}

HeadlessGame::HeadlessGame(std::filesystem::path appPath, std::optional<uint32_t> seed) {
    form.sndStart = &sndStart;
    form.sndCrash = &sndCrash;
    form.sndMusic = &sndMusic;
    form.host = &host;
    form.appPath = std::move(appPath);
    form.seedOverride = seed;
}

void HeadlessGame::start() {
    form.Form_Load();
    soundLog.clear();
}

void HeadlessGame::handle(const InputEvent& event) {
    switch (event.action) {
    case InputAction::KeyDown:
        form.Form_KeyDown(event.keyCode);
        break;
    case InputAction::KeyUp:
        form.Form_KeyUp(event.keyCode);
        break;
    case InputAction::Menu:
        run(form, event.command);
        break;
    case InputAction::MusicEnded:
        // Only a playing track can reach its end.
        if (sndMusic.mode() == kModePlaying) {
            sndMusic.finish();
            form.sndMusic_event9();
        }
        break;
    }
}

bool HeadlessGame::tick() {
    if (!form.tmrMain.Enabled) {
        return false;
    }
    form.tmrMain_Timer();
    return true;
}

} // namespace kestrada::session
