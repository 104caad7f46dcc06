// SPDX-License-Identifier: GPL-3.0-or-later
// A recorded game: an input file whose first line names the seed and the
// program that wrote it, so that a replay needs nothing but the file.
#pragma once

#include "app/form.h"
#include "app/high_score_store.h"
#include "session/input_file.h"

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kestrada::session {

// "# kestrada VERSION seed N high "TEXT"": the seed and the best score the
// game started from, so that the file alone replays to the same end.
std::string recordingHeader(uint32_t seed, std::string_view high);

// The best Form_Load will show from this store: a recording starts from it.
std::string startingBest(HighScoreStore& store);

struct RecordingHeader {
    uint32_t seed = 0;
    std::optional<std::string> high; // none in files older than the high part
};

// The header in the first line of a file's text; nothing when the file is
// not a recording.
std::optional<RecordingHeader> recordingHeaderOf(std::string_view text);

struct ReplayFile {
    std::vector<InputEvent> events;
    std::optional<uint32_t> recordedSeed; // from the header, when there is one
    std::optional<std::string> recordedHigh;
    std::optional<uint32_t> seed; // the seed to play with
    std::string error;            // for stderr; empty when all is well

    bool ok() const { return error.empty(); }
};

// Reads an input file to replay with the seed asked for on the command
// line, if any. A recording replays with its own seed: asking for another
// would play a different road under the same keys, so it is an error.
ReplayFile readReplayFile(const std::filesystem::path& file, std::optional<uint32_t> seedOption);

// The best a replay starts from when it is not the one in the high-score
// folder: the recorded one, unless the folder the player named with
// --data-dir holds a score, which wins (noted in `note` when it differs).
// Nothing for a file older than the recorded best.
std::optional<std::string> recordedStartingBest(const ReplayFile& file,
                                                const std::optional<std::filesystem::path>& dataDir,
                                                std::string& note);

// A held key repeats its press many times a second. A recording leaves out
// the presses that change nothing: an arrow the game already holds, Space
// while a shot is out.
bool changesNothing(const Form& form, const InputEvent& event);

// Writes a recording as the game goes. Every text reaches the file at once,
// so a program that is killed leaves everything it saw up to that moment.
class InputRecorder {
  public:
    InputRecorder() = default;
    InputRecorder(const InputRecorder&) = delete;
    InputRecorder& operator=(const InputRecorder&) = delete;
    ~InputRecorder();

    // Creates or empties the file; false with a reason when it cannot.
    bool open(const std::filesystem::path& file, std::string& error);
    // The recording's next lines, the header first.
    void write(std::string_view text);
    void close();

  private:
    std::FILE* file_ = nullptr;
};

} // namespace kestrada::session
