// `kestrada --headless`: checks everything it was given before the first
// slot, so a mistake never leaves a half-written trace or a changed
// high-score file behind.
#include "headless/runner.h"

#include "app/game_folders.h"
#include "headless/command_line.h"
#include "headless/headless_game.h"
#include "headless/input_file.h"
#include "headless/simulation.h"
#include "headless/trace_writer.h"

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <string>
#include <utility>

namespace kestrada::headless {

namespace {

constexpr int kExitOk = 0;
constexpr int kExitFailed = 1;
constexpr int kExitBadUsage = 2;

bool readEvents(const Options& options, std::vector<InputEvent>& events) {
    if (!options.input) {
        return true;
    }
    std::ifstream in(*options.input, std::ios::binary);
    if (!in) {
        std::cerr << "input: cannot read " << options.input->string() << ": "
                  << std::strerror(errno) << '\n';
        return false;
    }
    InputParse parse = parseInput(in);
    if (!parse.ok()) {
        std::cerr << parse.message() << '\n';
        return false;
    }
    if (in.bad()) {
        std::cerr << "input: error while reading " << options.input->string() << '\n';
        return false;
    }
    events = std::move(parse.events);
    return true;
}

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

    std::vector<InputEvent> events;
    GameFolders folders;
    if (!readEvents(options, events) || !gameFoldersOf(options, folders)) {
        return kExitBadUsage;
    }
    TraceWriter trace;
    if (options.trace) {
        std::string error;
        if (!trace.open(*options.trace, error)) {
            std::cerr << "trace: " << error << '\n';
            return kExitBadUsage;
        }
    }

    HeadlessGame game(folders, options.seed);
    game.start();
    const SimulationResult result =
        simulate(game, events, options.slots, options.trace ? &trace : nullptr);
    const bool traceWritten = trace.close();

    const Form& form = game.form;
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
