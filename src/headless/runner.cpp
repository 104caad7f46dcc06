// SPDX-License-Identifier: GPL-3.0-or-later
// `kestrada --headless`: checks everything it was given before the first
// slot, so a mistake never leaves a half-written trace or a changed
// high-score file behind.
#include "headless/runner.h"

#include "headless/command_line.h"
#include "session/game.h"
#include "session/headless_host.h"
#include "session/recorded_best.h"
#include "session/recording.h"
#include "session/simulation.h"
#include "session/trace_writer.h"
#include "storage/game_folders.h"
#include "storage/high_score_file.h"

#include <filesystem>
#include <iostream>
#include <optional>
#include <string>
#include <utility>

namespace kestrada::headless {

using namespace session;

namespace {

constexpr int kExitOk = 0;
constexpr int kExitFailed = 1;
constexpr int kExitBadUsage = 2;

// The same folders as the window: the game's own data, and the high score
// beside the program, in the per-user folder when installed, or in
// --data-dir.
bool gameFoldersOf(const Options& options, GameFolders& folders) {
    std::error_code ec;
    if (options.dataDir && !std::filesystem::is_directory(*options.dataDir, ec)) {
        std::cerr << "--data-dir: " << options.dataDir->string() << " is not a folder\n";
        return false;
    }
    folders =
        gameFolders(programFolder(), options.dataDir, [] { return kestrada::userDataFolder(); });
    return true;
}

const char* boolText(bool value) {
    return value ? "true" : "false";
}

} // namespace

int run(const std::vector<std::string>& args) {
    const CommandLine commandLine = parseCommandLine(args);
    if (!commandLine.error.empty()) {
        std::cerr << commandLine.error << " (try --help)\n";
        return kExitBadUsage;
    }
    const Options& options = commandLine.options;
    if (options.help) {
        std::cout << usageText();
        return kExitOk;
    }
    if (options.version) {
        std::cout << versionText() << '\n';
        return kExitOk;
    }

    ReplayFile input;
    input.seed = options.seed;
    if (options.input) {
        input = readReplayFile(*options.input, options.seed);
        if (!input.ok()) {
            std::cerr << input.error << '\n';
            return kExitBadUsage;
        }
    }
    GameFolders folders;
    if (!gameFoldersOf(options, folders)) {
        return kExitBadUsage;
    }
    // A recording starts from the best it names, so that the file alone
    // gives the summary the player saw. A --data-dir without a score takes
    // the recorded one and keeps what the run beats it with; without
    // --data-dir the run keeps nothing.
    std::string note;
    const auto recordedBest = recordedStartingBest(input, options.dataDir, note);
    if (!note.empty()) {
        std::cerr << note << '\n';
    }
    std::optional<RecordedBest> inMemory;
    if (recordedBest && options.dataDir) {
        writeHighScore(folders.highScore / kHighScoreFileName, *recordedBest);
    } else if (recordedBest) {
        inMemory.emplace(*recordedBest);
    }
    const std::vector<InputEvent>& events = input.events;
    // A recorded game lasts until its last event (Exit, when it ended well).
    uint32_t slots = options.slots;
    if (input.recordedSeed && !options.slotsGiven) {
        slots = events.empty() ? 0 : events.back().slot;
    }
    TraceWriter trace;
    if (options.trace) {
        std::string error;
        if (!trace.open(*options.trace, error)) {
            std::cerr << "trace: " << error << '\n';
            return kExitBadUsage;
        }
    }

    HeadlessHost host;
    Game game(host, {.folders = folders,
                     .seed = input.seed,
                     .highScoreStore = inMemory ? &*inMemory : nullptr});
    game.start();
    const SimulationResult result = simulate(game, events, slots, options.trace ? &trace : nullptr);
    const bool traceWritten = trace.close();

    const Form& form = game.form();
    std::cout << "slots=" << result.slots << " ticks=" << result.ticks
              << " score=" << form.lblScore().Caption << " high=" << form.lblHighScore().Caption
              << " gameover=" << boolText(form.GameOver) << " exited=" << boolText(result.exited)
              << '\n';
    if (!traceWritten) {
        std::cerr << "trace: writing " << options.trace->string() << " failed\n";
        return kExitFailed;
    }
    return kExitOk;
}

} // namespace kestrada::headless
