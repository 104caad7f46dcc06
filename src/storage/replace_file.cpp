// SPDX-License-Identifier: GPL-3.0-or-later
#include "storage/replace_file.h"

#include <cerrno>
#include <cstdlib>
#include <sys/stat.h>
#include <system_error>
#include <unistd.h>

namespace kestrada {

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

bool writeAll(int fd, const std::string& bytes) {
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
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

namespace {
void reached(SaveStep step) {
    if (afterSaveStep != nullptr) {
        afterSaveStep(step);
    }
}
} // namespace

// A unique scratch name means a leftover from a killed save never blocks the
// next one.
Replace replaceWhole(const std::filesystem::path& file, const std::string& bytes, int& error) {
    std::string scratch = file.string() + ".XXXXXX";
    const int fd = ::mkstemp(scratch.data());
    if (fd < 0) {
        error = errno;
        return error == EACCES || error == EPERM ? Replace::FolderRefused : Replace::Failed;
    }
    reached(SaveStep::ScratchMade);
    struct stat old {};
    const mode_t mode = ::stat(file.c_str(), &old) == 0 ? (old.st_mode & 07777) : 0644;
    bool ok = ::fchmod(fd, mode) == 0 && writeAll(fd, bytes);
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

} // namespace kestrada
