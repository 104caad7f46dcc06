// SPDX-License-Identifier: GPL-3.0-or-later
// The files of one session in the window: the game it replays, the
// recordings it writes (last-run.txt always, --record FILE when asked) and,
// for a replay, a scratch high-score folder so that its score is not saved.
#pragma once

#include "desktop/command_line.h"
#include "session/recording.h"
#include "storage/game_folders.h"

#include <QTemporaryDir>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace kestrada::desktop {

class MainWindow;

inline constexpr const char* kLastRunFileName = "last-run.txt";

class SessionRecording {
  public:
    // Reads and opens everything the options ask for, before any window
    // opens; false with the message for stderr when the session cannot
    // start. A last run that cannot be kept is only reported.
    bool prepare(const CommandLine& options, const GameFolders& folders, std::string& error);

    const GameFolders& folders() const { return folders_; }
    uint32_t seed() const { return seed_; }

    // Records the window's input and starts the replay, if any.
    void attach(MainWindow& window);

  private:
    GameFolders folders_;
    uint32_t seed_ = 0;
    std::optional<std::vector<session::InputEvent>> replay_;
    session::InputRecorder lastRun_;
    session::InputRecorder record_;
    std::unique_ptr<QTemporaryDir> scratchScores_;
};

} // namespace kestrada::desktop
