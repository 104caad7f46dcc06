// SPDX-License-Identifier: GPL-3.0-or-later
#include "desktop/session_recording.h"

#include "desktop/main_window.h"
#include "storage/high_score_file.h"

#include <QTime>
#include <filesystem>
#include <iostream>

namespace kestrada::desktop {

namespace {
// The replay's games save in a folder of their own, starting from the
// recorded best, or for an older recording from the high score the player
// has.
std::unique_ptr<QTemporaryDir> scratchScoreFolder(const std::filesystem::path& from,
                                                  const std::optional<std::string>& recorded) {
    auto scratch = std::make_unique<QTemporaryDir>();
    if (!scratch->isValid()) {
        return nullptr;
    }
    const std::filesystem::path file = scratch->path().toStdString() + "/" + kHighScoreFileName;
    if (recorded) {
        writeHighScore(file, *recorded);
    } else {
        std::error_code ec;
        std::filesystem::copy_file(from / kHighScoreFileName, file, ec);
    }
    return scratch;
}

} // namespace

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
        const auto recorded = session::recordedStartingBest(file, dataDir, note);
        if (!note.empty()) {
            std::cerr << note << '\n';
        }
        replay_ = std::move(file.events);
        scratchScores_ = scratchScoreFolder(folders.highScore, recorded);
        if (!scratchScores_) {
            error = "replay: no scratch folder for its high score";
            return false;
        }
        folders_.highScore = scratchScores_->path().toStdString();
    }
    // The recording must name the seed, so the time of day is read here.
    seed_ = seed ? *seed : static_cast<uint32_t>(QTime::currentTime().msecsSinceStartOfDay());

    FileHighScoreStore scores(folders_.highScore / kHighScoreFileName);
    const std::string high = session::startingBest(scores);
    if (options.record && !record_.open(*options.record, seed_, high, error)) {
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
        if (!lastRun_.open(folder / kLastRunFileName, seed_, high, why)) {
            std::cerr << "kestrada: the last run is not kept: " << why << '\n';
        }
    }
    return true;
}

void SessionRecording::attach(MainWindow& window) {
    window.setInputListener([this](const session::InputEvent& event) {
        lastRun_.record(event);
        record_.record(event);
    });
    if (replay_) {
        window.replay(std::move(*replay_));
        replay_.reset();
    }
}

} // namespace kestrada::desktop
