// SPDX-License-Identifier: GPL-3.0-or-later
#include "session/recording.h"

#include "app/key_codes.h"
#include "app/score_text.h"
#include "session/whole_number.h"
#include "storage/high_score_file.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fstream>
#include <iterator>
#include <utility>

namespace kestrada::session {

namespace {
constexpr std::string_view kHeaderStart = "# kestrada ";
constexpr std::string_view kSeedMark = " seed ";
constexpr std::string_view kHighMark = " high \"";

} // namespace

std::string recordingHeader(uint32_t seed, std::string_view high) {
    return std::string(kHeaderStart) + KESTRADA_VERSION + std::string(kSeedMark) +
           std::to_string(seed) + std::string(kHighMark) + std::string(high) + "\"";
}

std::string startingBest(HighScoreStore& store) {
    const auto stored = store.load();
    return stored ? numberText(leadingNumber(*stored)) : "0";
}

std::optional<RecordingHeader> recordingHeaderOf(std::string_view text) {
    std::string_view line = text.substr(0, text.find('\n'));
    if (line.ends_with('\r')) {
        line.remove_suffix(1);
    }
    if (!line.starts_with(kHeaderStart)) {
        return std::nullopt;
    }
    const std::size_t mark = line.find(kSeedMark);
    if (mark == std::string_view::npos) {
        return std::nullopt;
    }
    std::string_view rest = line.substr(mark + kSeedMark.size());
    const std::size_t seedEnd = std::min(rest.find(' '), rest.size());
    const WholeNumber seed = parseWholeNumber(rest.substr(0, seedEnd), UINT32_MAX);
    if (seed.error != WholeNumberError::None) {
        return std::nullopt;
    }
    RecordingHeader header;
    header.seed = static_cast<uint32_t>(seed.value);
    rest.remove_prefix(seedEnd);
    // The high score is the file's quoted text; a header cut short of its
    // closing quote names none.
    if (rest.starts_with(kHighMark) && rest.size() > kHighMark.size() && rest.ends_with('"')) {
        header.high =
            std::string(rest.substr(kHighMark.size(), rest.size() - kHighMark.size() - 1));
    }
    return header;
}

ReplayFile readReplayFile(const std::filesystem::path& file, std::optional<uint32_t> seedOption) {
    ReplayFile result;
    std::ifstream in(file, std::ios::binary);
    if (!in) {
        result.error = "input: cannot read " + file.string() + ": " + std::strerror(errno);
        return result;
    }
    const std::string text{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    if (in.bad()) {
        result.error = "input: error while reading " + file.string();
        return result;
    }
    InputParse parse = parseInput(text);
    if (!parse.ok()) {
        result.error = parse.message();
        return result;
    }
    result.events = std::move(parse.events);
    if (const auto header = recordingHeaderOf(text)) {
        result.recordedSeed = header->seed;
        result.recordedHigh = header->high;
    }
    result.seed = seedOption ? seedOption : result.recordedSeed;
    if (result.recordedSeed && seedOption && *seedOption != *result.recordedSeed) {
        result.error = "input:1: recorded with seed " + std::to_string(*result.recordedSeed) +
                       ", not --seed " + std::to_string(*seedOption);
    }
    return result;
}

std::optional<std::string> recordedStartingBest(const ReplayFile& file,
                                                const std::optional<std::filesystem::path>& dataDir,
                                                std::string& note) {
    if (!file.recordedHigh) {
        return std::nullopt;
    }
    if (dataDir) {
        const std::filesystem::path scores = *dataDir / kHighScoreFileName;
        if (const auto stored = readFirstValue(scores)) {
            const std::string shown = numberText(leadingNumber(*stored));
            if (shown != *file.recordedHigh) {
                note = "input: recorded from high score " + *file.recordedHigh + ", played from " +
                       shown + " in " + scores.string();
            }
            return std::nullopt;
        }
    }
    return file.recordedHigh;
}

bool changesNothing(const Form& form, const InputEvent& event) {
    if (event.action != InputAction::KeyDown) {
        return false;
    }
    switch (event.keyCode) {
    case kKeyUp:
        return form.UpHeld == 1;
    case kKeyDown:
        return form.DownHeld == 1;
    case kKeyLeft:
        return form.LeftHeld == 1;
    case kKeyRight:
        return form.RightHeld == 1;
    case kKeySpace:
        return form.MissileInFlight == 1;
    default:
        return false;
    }
}

InputRecorder::~InputRecorder() {
    close();
}

bool InputRecorder::open(const std::filesystem::path& file, std::string& error) {
    close();
    file_ = std::fopen(file.c_str(), "w");
    if (file_ == nullptr) {
        error = "cannot write " + file.string() + ": " + std::strerror(errno);
        return false;
    }
    return true;
}

void InputRecorder::write(std::string_view text) {
    if (file_ == nullptr) {
        return;
    }
    // A failed write is not the player's concern: the game goes on.
    std::fwrite(text.data(), 1, text.size(), file_);
    std::fflush(file_);
}

void InputRecorder::close() {
    if (file_ != nullptr) {
        std::fclose(file_);
        file_ = nullptr;
    }
}

} // namespace kestrada::session
