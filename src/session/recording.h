// SPDX-License-Identifier: GPL-3.0-or-later
// A recorded game: an input file whose first line names the seed and the
// program that wrote it, so that a replay needs nothing but the file.
#pragma once

#include "app/form.h"
#include "session/input_file.h"

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kestrada::session {

// "# kestrada VERSION seed N"
std::string recordingHeader(uint32_t seed);

// The seed named by the first line of a file's text; nothing when the file
// is not a recording.
std::optional<uint32_t> recordedSeed(std::string_view text);

struct ReplayFile {
    std::vector<InputEvent> events;
    std::optional<uint32_t> recordedSeed; // from the header, when there is one
    std::optional<uint32_t> seed;         // the seed to play with
    std::string error;                    // for stderr; empty when all is well

    bool ok() const { return error.empty(); }
};

// Reads an input file to replay with the seed asked for on the command
// line, if any. A recording replays with its own seed: asking for another
// would play a different road under the same keys, so it is an error.
ReplayFile readReplayFile(const std::filesystem::path& file, std::optional<uint32_t> seedOption);

// A held key repeats its press many times a second. A recording leaves out
// the presses that change nothing: an arrow the game already holds, Space
// while a shot is out.
bool changesNothing(const Form& form, const InputEvent& event);

// Writes a recording as the game goes. Every line reaches the file at once,
// so a program that is killed leaves everything it saw up to that moment.
class InputRecorder {
  public:
    InputRecorder() = default;
    InputRecorder(const InputRecorder&) = delete;
    InputRecorder& operator=(const InputRecorder&) = delete;
    ~InputRecorder();

    // Creates or empties the file and writes the header; false with a
    // reason when it cannot.
    bool open(const std::filesystem::path& file, uint32_t seed, std::string& error);
    void record(const InputEvent& event);
    void close();

  private:
    void writeLine(const std::string& line);

    std::FILE* file_ = nullptr;
};

} // namespace kestrada::session
