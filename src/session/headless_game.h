// SPDX-License-Identifier: GPL-3.0-or-later
// One game without a window: the form wired to silent sound players that
// note every call, and to the headless host.
#pragma once

#include "app/form.h"
#include "session/headless_host.h"
#include "session/input_file.h"
#include "session/slot_runner.h"
#include "sound/silent_sound_player.h"
#include "storage/game_folders.h"
#include "storage/high_score_file.h"

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace kestrada::session {

class HeadlessGame : public SlotGame {
  public:
    // The form points at the players and the host, so the game stays put.
    // appPath holds the wave files and, unless folders say otherwise, the
    // high score.
    HeadlessGame(std::filesystem::path appPath, std::optional<uint32_t> seed);
    HeadlessGame(const GameFolders& folders, std::optional<uint32_t> seed);
    HeadlessGame(const HeadlessGame&) = delete;
    HeadlessGame& operator=(const HeadlessGame&) = delete;

    // Form_Load as at program start; its sound calls belong to no slot.
    void start();
    // Hands one input event to its handler.
    void handle(const InputEvent& event) override;
    // One tick when the timer is on; false when it is off.
    bool tick() override;
    // Exit was chosen: the program would have ended.
    bool exited() const { return host.exited(); }
    bool ended() const override { return exited(); }

    // "<player>.<op>" for every sound call since it was last cleared.
    std::vector<std::string> soundLog;
    SilentSoundPlayer sndStart{"sndStart", &soundLog};
    SilentSoundPlayer sndCrash{"sndCrash", &soundLog};
    SilentSoundPlayer sndMusic{"sndMusic", &soundLog};
    HeadlessHost host;
    FileHighScoreStore highScoreStore;
    Form form;
};

} // namespace kestrada::session
