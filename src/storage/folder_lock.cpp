// SPDX-License-Identifier: GPL-3.0-or-later
#include "storage/folder_lock.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <thread>
#include <unistd.h>

namespace kestrada {

FolderLock::FolderLock(const std::filesystem::path& folder, std::chrono::milliseconds wait) {
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

FolderLock::~FolderLock() {
    if (fd_ >= 0) {
        ::close(fd_); // lets the lock go
    }
}

} // namespace kestrada
