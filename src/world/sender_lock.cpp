// SPDX-License-Identifier: GPL-3.0-or-later
#include "world/sender_lock.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>
#include <utility>

namespace kestrada::session {

SenderLock::SenderLock(std::filesystem::path folder)
    : file_(std::move(folder) / kSenderLockFileName) {}

SenderLock::~SenderLock() {
    if (fd_ >= 0) {
        ::close(fd_); // lets the lock go
    }
}

bool SenderLock::take() {
    if (held_) {
        return true;
    }
    if (fd_ < 0) {
        fd_ = ::open(file_.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    }
    if (fd_ < 0) {
        // A folder that takes no file has no other writer to fear: send.
        held_ = true;
        return held_;
    }
    if (::flock(fd_, LOCK_EX | LOCK_NB) == 0) {
        held_ = true;
    } else if (errno != EWOULDBLOCK && errno != EINTR) {
        held_ = true; // a file system without locks: as before them
    }
    return held_;
}

} // namespace kestrada::session
