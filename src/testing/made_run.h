// SPDX-License-Identifier: GPL-3.0-or-later
// A recorded session for the tests and benches that race or replay one:
// games driven up the road firing, with a swerve now and then, each played
// to its crash and the next begun with Enter, recorded as the window
// records a session.
#pragma once

#include "app/key_codes.h"
#include "session/game.h"
#include "session/headless_host.h"
#include "session/recorded_best.h"
#include "session/recording.h"
#include "session/slot_runner.h"

#include <string>

namespace kestrada::testing {

inline std::string madeRun(uint32_t seed, int games) {
    using namespace session;
    HeadlessHost host;
    RecordedBest best("0");
    Game game(host, {.folders = {}, .seed = seed, .highScoreStore = &best});
    game.start();
    SlotRunner runner(game, game.form());
    std::string text = recordingHeader(seed, "0") + "\n";
    runner.setRecorder([&](const InputEvent& e) { text += inputLine(e) + "\n"; });
    const auto press = [&](InputAction action, int16_t code) {
        runner.input({.action = action, .keyCode = code});
    };
    for (int slot = 1, crashes = 0; crashes < games && slot < 100000; ++slot) {
        press(InputAction::KeyDown, kKeyUp);
        press(InputAction::KeyDown, kKeySpace);
        const int phase = slot % 50;
        const int16_t swerve = phase < 25 ? kKeyLeft : kKeyRight;
        if (phase % 25 == 10) {
            press(InputAction::KeyDown, swerve);
        } else if (phase % 25 == 14) {
            press(InputAction::KeyUp, swerve);
        }
        const bool over = game.form().GameOver;
        runner.runSlot();
        if (!over && game.form().GameOver && ++crashes < games) {
            press(InputAction::KeyDown, kKeyEnter);
        }
    }
    return text;
}

} // namespace kestrada::testing
