// SPDX-License-Identifier: GPL-3.0-or-later
#include "storage/high_score_file.h"

#include "app/score_text.h"
#include "storage/folder_lock.h"
#include "storage/replace_file.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <fstream>
#include <system_error>
#include <unistd.h>

namespace kestrada {

namespace {
// A high score is a short line; anything beyond this is not a score.
constexpr std::size_t kMaxHeadBytes = 4096;
} // namespace

bool createIfMissing(const std::filesystem::path& file) {
    std::error_code ec;
    if (std::filesystem::exists(file, ec)) {
        return true;
    }
    std::ofstream out(file, std::ios::app);
    return static_cast<bool>(out);
}

std::optional<std::string> readFirstValue(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    if (!in) {
        return std::nullopt;
    }
    std::string head(kMaxHeadBytes, '\0');
    in.read(head.data(), static_cast<std::streamsize>(head.size()));
    head.resize(static_cast<std::size_t>(in.gcount()));
    return firstValueOf(head);
}

namespace {
bool rewriteInPlace(const std::filesystem::path& file, const std::string& line, int& error) {
    const int fd = ::open(file.c_str(), O_WRONLY | O_TRUNC | O_CLOEXEC);
    if (fd < 0) {
        error = errno;
        return false;
    }
    bool ok = writeAll(fd, line);
    error = ok ? 0 : errno;
    ok = (::close(fd) == 0) && ok;
    return ok;
}
} // namespace

bool writeHighScore(const std::filesystem::path& path, std::string_view caption,
                    std::string* failure) {
    const std::string line = "\"" + std::string(caption) + "\"\r\n";
    const std::filesystem::path file = followLinks(path);
    std::error_code ec;
    int error = 0;
    bool saved = false;
    const bool exists = std::filesystem::exists(file, ec);
    if (exists && !std::filesystem::is_regular_file(file, ec)) {
        error = EISDIR;
    } else if (exists && ::access(file.c_str(), W_OK) != 0) {
        error = errno; // read-only: replacing it would overrule its owner
    } else {
        if (!file.parent_path().empty()) {
            std::filesystem::create_directories(file.parent_path(), ec);
        }
        const Replace replaced = replaceWhole(file, line, error);
        saved = replaced == Replace::Done ||
                (replaced == Replace::FolderRefused && exists && rewriteInPlace(file, line, error));
    }
    if (!saved && failure != nullptr) {
        *failure = std::strerror(error != 0 ? error : EIO);
    }
    return saved;
}

BestSave saveBest(const std::filesystem::path& path, std::string_view caption,
                  std::chrono::milliseconds lockWait) {
    BestSave result;
    const std::filesystem::path file = followLinks(path);
    const FolderLock lock(file.parent_path(), lockWait);
    const auto stored = readFirstValue(file);
    if (stored) {
        const double storedValue = leadingNumber(*stored);
        const double value = leadingNumber(caption);
        if (storedValue > value) {
            result.storedBest = numberText(storedValue);
            return result;
        }
        if (storedValue == value) {
            result.saved = true; // already there
            return result;
        }
    }
    result.saved = writeHighScore(path, caption, &result.failure);
    return result;
}

// Unlike a plain error trap, a failure to create the file does not stop us
// from reading one that is there but read-only: its score must still show,
// or the next save could replace a better score with a worse one.
std::optional<std::string> FileHighScoreStore::load() {
    createIfMissing(file_);
    return readFirstValue(file_);
}

BestSave FileHighScoreStore::save(std::string_view caption) {
    return saveBest(file_, caption);
}

} // namespace kestrada
