// SPDX-License-Identifier: GPL-3.0-or-later
#include "desktop/session_recording.h"

#include "desktop/main_window.h"
#include "storage/high_score_file.h"

#include <QTime>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>

namespace kestrada::desktop {

bool SessionRecording::prepare(const CommandLine& options, const GameFolders& folders,
                               std::string& error) {
    folders_ = folders;
    std::optional<uint32_t> seed = options.seed;
    if (options.replay) {
        session::ReplayFile file = session::readReplayFile(*options.replay, options.seed);
        if (!file.ok()) {
            error = file.error;
            return false;
        }
        seed = file.seed;
        std::string note;
        std::optional<std::filesystem::path> dataDir;
        if (options.dataDir) {
            dataDir = *options.dataDir;
        }
        // The recorded best, or for an older recording (or a --data-dir
        // holding a score) the one the player has: read, never written.
        auto best = session::recordedStartingBest(file, dataDir, note);
        if (!note.empty()) {
            std::cerr << note << '\n';
        }
        if (!best) {
            FileHighScoreStore scores(folders.highScore / kHighScoreFileName);
            best = session::startingBest(scores);
        }
        replay_ = session::Replay{std::move(file.events), seed.value_or(0), *best};
    }
    if (options.race) {
        std::ifstream in(*options.race, std::ios::binary);
        const std::string text{std::istreambuf_iterator<char>(in), {}};
        auto run = session::readGhostRun(text, error);
        if (!in || !run) {
            error = "--race: " + (in ? error : "cannot read " + *options.race);
            return false;
        }
        if (seed && *seed != run->seed) {
            error = "--race: the run is on seed " + std::to_string(run->seed) + ", not " +
                    std::to_string(*seed);
            return false;
        }
        seed = run->seed;
        race_ = session::Race{std::move(*run), options.raceName};
    }
    // The recording must name the seed, so the time of day is read here.
    seed_ = seed ? *seed : static_cast<uint32_t>(QTime::currentTime().msecsSinceStartOfDay());

    if (options.record && !record_.open(*options.record, error)) {
        error = "--record: " + error;
        return false;
    }
    // A replay of the last run must not overwrite it.
    if (!options.replay) {
        const std::filesystem::path folder =
            options.dataDir ? std::filesystem::path(*options.dataDir) : userDataFolder();
        std::error_code ec;
        std::filesystem::create_directories(folder, ec);
        std::string why;
        if (!lastRun_.open(folder / kLastRunFileName, why)) {
            std::cerr << "kestrada: the last run is not kept: " << why << '\n';
        }
    }
    return true;
}

void SessionRecording::attach(MainWindow& window) {
    window.play().teeRecording([this](std::string_view text) {
        lastRun_.write(text);
        record_.write(text);
    });
}

} // namespace kestrada::desktop
