// SPDX-License-Identifier: GPL-3.0-or-later
// One sender a folder: of the windows and replays sharing a player's
// folder, only the one holding this lock sends its runs to the world's
// server, so that no run goes twice at once and one process writes the
// outbox's state at a time. The others leave their entries in the state
// file, where the sender finds them; when it ends, another takes over.
#pragma once

#include <filesystem>

namespace kestrada::session {

inline constexpr const char* kSenderLockFileName = "HallOfFameWorld.lock";

class SenderLock {
  public:
    // Not taken yet.
    explicit SenderLock(std::filesystem::path folder);
    ~SenderLock();
    SenderLock(const SenderLock&) = delete;
    SenderLock& operator=(const SenderLock&) = delete;

    // Takes the lock if no one holds it now; never waits. True when held.
    bool take();
    bool held() const { return held_; }

  private:
    std::filesystem::path file_;
    int fd_ = -1;
    bool held_ = false;
};

} // namespace kestrada::session
