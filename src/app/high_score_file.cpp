// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/high_score_file.h"

#include <cctype>
#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <fstream>
#include <sys/file.h>
#include <sys/stat.h>
#include <system_error>
#include <thread>
#include <unistd.h>

namespace kestrada {

namespace {
// A high score is a short line; anything beyond this is not a score.
constexpr std::size_t kMaxHeadBytes = 4096;

bool isBlank(char c) {
    return c == ' ' || c == '\t';
}
bool isLineEnd(char c) {
    return c == '\r' || c == '\n';
}
} // namespace

bool createIfMissing(const std::filesystem::path& file) {
    std::error_code ec;
    if (std::filesystem::exists(file, ec)) {
        return true;
    }
    std::ofstream out(file, std::ios::app);
    return static_cast<bool>(out);
}

std::optional<std::string> firstValueOf(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size() && isBlank(text[i])) {
        ++i;
    }
    if (i == text.size()) {
        return std::nullopt; // nothing to read: the game treats it as an error
    }
    if (text[i] == '"') {
        const auto close = text.find('"', i + 1);
        return std::string(text.substr(
            i + 1, close == std::string_view::npos ? std::string_view::npos : close - i - 1));
    }
    std::size_t end = i;
    while (end < text.size() && text[end] != ',' && !isLineEnd(text[end])) {
        ++end;
    }
    while (end > i && isBlank(text[end - 1])) {
        --end;
    }
    return std::string(text.substr(i, end - i));
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

double leadingNumber(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size() && isBlank(text[i])) {
        ++i;
    }
    std::string number;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        number += text[i++];
    }
    bool digits = false;
    while (i < text.size() && std::isdigit(static_cast<unsigned char>(text[i]))) {
        number += text[i++];
        digits = true;
    }
    if (i < text.size() && text[i] == '.') {
        number += text[i++];
        while (i < text.size() && std::isdigit(static_cast<unsigned char>(text[i]))) {
            number += text[i++];
            digits = true;
        }
    }
    if (!digits) {
        return 0;
    }
    if (i + 1 < text.size() && (text[i] == 'e' || text[i] == 'E')) {
        std::size_t j = i + 1;
        std::string exponent = "e";
        if (text[j] == '+' || text[j] == '-') {
            exponent += text[j++];
        }
        bool expDigits = false;
        while (j < text.size() && std::isdigit(static_cast<unsigned char>(text[j])) &&
               exponent.size() < 8) {
            exponent += text[j++];
            expDigits = true;
        }
        if (expDigits) {
            number += exponent;
        }
    }
    const double value = std::strtod(number.c_str(), nullptr);
    return std::isfinite(value) ? value : 0;
}

std::string numberText(double value) {
    if (value == 0 || !std::isfinite(value)) {
        return "0";
    }
    char buffer[64];
    // The score label is written every tick: whole numbers, by far the most
    // common case, skip the general formatter.
    if (value == std::floor(value) && std::fabs(value) < 1e15) {
        const auto end = std::to_chars(buffer, buffer + sizeof buffer, static_cast<int64_t>(value));
        return std::string(buffer, end.ptr);
    }
    std::snprintf(buffer, sizeof buffer, "%.15G", value);
    return buffer;
}

namespace {
// The file a path names once every symbolic link on the way is followed; a
// dangling link names the file to be created.
std::filesystem::path followLinks(std::filesystem::path file) {
    for (int hops = 0; hops < 40; ++hops) {
        std::error_code ec;
        if (!std::filesystem::is_symlink(file, ec)) {
            break;
        }
        const auto target = std::filesystem::read_symlink(file, ec);
        if (ec) {
            break;
        }
        file = target.is_absolute() ? target : file.parent_path() / target;
    }
    return file;
}

bool writeAll(int fd, const std::string& line) {
    std::size_t done = 0;
    while (done < line.size()) {
        const ssize_t n = ::write(fd, line.data() + done, line.size() - done);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            return false;
        }
        done += static_cast<std::size_t>(n);
    }
    return ::fsync(fd) == 0;
}

enum class Replace { Done, FolderRefused, Failed };

void reached(SaveStep step) {
    if (afterSaveStep != nullptr) {
        afterSaveStep(step);
    }
}

// A unique scratch name means a leftover from a killed save never blocks the
// next one.
Replace replaceWhole(const std::filesystem::path& file, const std::string& line, int& error) {
    std::string scratch = file.string() + ".XXXXXX";
    const int fd = ::mkstemp(scratch.data());
    if (fd < 0) {
        error = errno;
        return error == EACCES || error == EPERM ? Replace::FolderRefused : Replace::Failed;
    }
    reached(SaveStep::ScratchMade);
    struct stat old {};
    const mode_t mode = ::stat(file.c_str(), &old) == 0 ? (old.st_mode & 07777) : 0644;
    bool ok = ::fchmod(fd, mode) == 0 && writeAll(fd, line);
    error = ok ? 0 : errno;
    reached(SaveStep::ScratchWritten);
    ok = (::close(fd) == 0) && ok;
    reached(SaveStep::ScratchClosed);
    if (ok && ::rename(scratch.c_str(), file.c_str()) == 0) {
        reached(SaveStep::Replaced);
        return Replace::Done;
    }
    error = error != 0 ? error : errno;
    ::unlink(scratch.c_str());
    // A shared folder may let us add files but not replace someone else's.
    return ok && (error == EACCES || error == EPERM) ? Replace::FolderRefused : Replace::Failed;
}

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

namespace {
// An advisory lock on the folder, not on the file: a save replaces the
// file by renaming a new one over it, and a folder needs no file of its own,
// so a folder that takes no new files can be locked all the same.
class FolderLock {
  public:
    FolderLock(const std::filesystem::path& folder, std::chrono::milliseconds wait) {
        fd_ = ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        const auto deadline = std::chrono::steady_clock::now() + wait;
        while (fd_ >= 0 && ::flock(fd_, LOCK_EX | LOCK_NB) != 0) {
            if (errno != EWOULDBLOCK && errno != EINTR) {
                break; // no locks here
            }
            if (std::chrono::steady_clock::now() >= deadline) {
                break;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
        }
    }
    ~FolderLock() {
        if (fd_ >= 0) {
            ::close(fd_); // lets the lock go
        }
    }
    FolderLock(const FolderLock&) = delete;
    FolderLock& operator=(const FolderLock&) = delete;

  private:
    int fd_ = -1;
};
} // namespace

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
