// SPDX-License-Identifier: GPL-3.0-or-later
// The high-score file: one line holding the score in double quotes.
// Reading is bounded and never throws; writing never leaves a partial file.
#pragma once

#include "app/high_score_store.h"

#include <chrono>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

namespace kestrada {

inline constexpr const char* kHighScoreFileName = "Kestrada.txt";

// Creates an empty file when there is none; false when that failed.
bool createIfMissing(const std::filesystem::path& file);

// The first value of the file (see firstValueOf). Empty when the file is
// missing, unreadable or has no value at all.
std::optional<std::string> readFirstValue(const std::filesystem::path& file);

// Replaces the file with one line, the caption in quotes. Where the folder
// takes a new file, the line is written to a uniquely named one that then
// replaces the old file whole; where it does not, a writable file is
// rewritten in place. A symbolic link is followed to the file it names, and
// a read-only file is left as it is. False, with the reason in `failure`
// when given, when the line was not saved; the folder is created if needed.
bool writeHighScore(const std::filesystem::path& file, std::string_view caption,
                    std::string* failure = nullptr);

// How long a save waits for another game's save to finish. A lock held
// longer (a game stopped mid-save) is done without.
inline constexpr std::chrono::milliseconds kHighScoreLockWait{500};

// Saves a beaten best unless the file already holds one at least as high:
// another game may have saved since this one read it. The check and the
// write run under the folder's lock (storage/folder_lock.h).
BestSave saveBest(const std::filesystem::path& file, std::string_view caption,
                  std::chrono::milliseconds lockWait = kHighScoreLockWait);

// The high-score file as the game's store: a missing file is created empty
// at load, and a save is saveBest's.
class FileHighScoreStore : public HighScoreStore {
  public:
    explicit FileHighScoreStore(std::filesystem::path file) : file_(std::move(file)) {}
    std::optional<std::string> load() override;
    BestSave save(std::string_view caption) override;
    std::string where() const override { return file_.string(); }
    const std::filesystem::path& file() const { return file_; }

  private:
    std::filesystem::path file_;
};

} // namespace kestrada
