// SPDX-License-Identifier: GPL-3.0-or-later
#include "session/run_verification.h"

#include "app/high_score_store.h"
#include "session/game.h"
#include "session/headless_host.h"
#include "session/recorded_best.h"
#include "session/recording.h"
#include "session/simulation.h"
#include "session/slot_runner.h"

namespace kestrada::session {

namespace {
Verification unverified(std::string reason) {
    return {false, std::move(reason)};
}

RecordingReplay failed(std::string reason) {
    RecordingReplay replay;
    replay.failure = std::move(reason);
    return replay;
}
} // namespace

RecordingReplay replayRecording(std::string_view text, uint64_t slotBudget) {
    const auto header = recordingHeaderOf(text);
    if (!header) {
        return failed("not a recording");
    }
    InputParse parse = parseInput(text);
    if (!parse.ok()) {
        return failed("recording line " + std::to_string(parse.errorLine) + ": " + parse.reason);
    }
    const std::vector<InputEvent>& events = parse.events;
    if (!events.empty() && events.back().slot > slotBudget) {
        return failed("replay too long");
    }
    HeadlessHost host;
    RecordedBest best(header->high.value_or("0"));
    Game game(host, {.folders = {}, .seed = header->seed, .highScoreStore = &best});
    game.start();
    SlotRunner runner(game, game.form());
    SlotFeed feed(events);
    for (uint64_t slot = 1;; ++slot) {
        const bool exited = !feed.deliver(runner, game, slot);
        if (exited || (feed.done() && game.form().GameOver)) {
            break;
        }
        if (feed.done() && !game.form().tmrMain.Enabled) {
            return failed("the game never ends"); // paused, with no key left to go on
        }
        if (slot >= slotBudget) {
            return failed("replay too long");
        }
        runner.runSlot();
        game.takeSounds();
    }
    RecordingReplay replay;
    replay.score = game.form().lblScore().Caption;
    replay.seed = header->seed;
    replay.games = best.loads();
    return replay;
}

Verification verifyRecording(std::string_view text, std::string_view score, uint64_t slotBudget) {
    const RecordingReplay replay = replayRecording(text, slotBudget);
    if (!replay.score) {
        return unverified(replay.failure);
    }
    if (*replay.score != score) {
        return unverified("replays to " + *replay.score);
    }
    return {true, {}};
}

} // namespace kestrada::session
