// SPDX-License-Identifier: GPL-3.0-or-later
// The files of one session in the window: the recording it replays and
// those it writes (last-run.txt always, --record FILE when asked).
#pragma once

#include "desktop/command_line.h"
#include "play/play.h"
#include "session/recording.h"
#include "storage/game_folders.h"

#include <cstdint>
#include <optional>
#include <string>

namespace kestrada::desktop {

class MainWindow;

inline constexpr const char* kLastRunFileName = "last-run.txt";

class SessionRecording {
  public:
    // Reads and opens everything the options asks for, before any window
    // opens; false with the message for stderr when the session cannot
    // start. A last run that cannot be kept is only reported.
    bool prepare(const CommandLine& options, const GameFolders& folders, std::string& error);

    const GameFolders& folders() const { return folders_; }
    uint32_t seed() const { return seed_; }
    // The recording to replay instead of playing, once.
    std::optional<session::Replay> takeReplay() { return std::exchange(replay_, std::nullopt); }
    // The run to race (--race), once.
    std::optional<session::Race> takeRace() { return std::exchange(race_, std::nullopt); }

    // Writes the window's session recording to the files as it grows.
    void attach(MainWindow& window);

  private:
    GameFolders folders_;
    uint32_t seed_ = 0;
    std::optional<session::Replay> replay_;
    std::optional<session::Race> race_;
    session::InputRecorder lastRun_;
    session::InputRecorder record_;
};

} // namespace kestrada::desktop
