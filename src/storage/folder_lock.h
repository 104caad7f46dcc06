// SPDX-License-Identifier: GPL-3.0-or-later
// An advisory lock on a folder that every save of the player's files takes,
// so that two games ending together save one after the other.
#pragma once

#include <chrono>
#include <filesystem>

namespace kestrada {

// A lock on the folder, not on a file: a save replaces its file by renaming
// a new one over it, and a folder needs no file of its own, so a folder
// that takes no new files can be locked all the same. A lock not had within
// `wait` (a game stopped mid-save), or a file system without locks, never
// stops a save, which then runs unlocked.
class FolderLock {
  public:
    FolderLock(const std::filesystem::path& folder, std::chrono::milliseconds wait);
    ~FolderLock();
    FolderLock(const FolderLock&) = delete;
    FolderLock& operator=(const FolderLock&) = delete;

  private:
    int fd_ = -1;
};

} // namespace kestrada
