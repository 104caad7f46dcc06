// SPDX-License-Identifier: GPL-3.0-or-later
// Replacing a file whole: the new bytes go to a uniquely named file beside
// it, which is then renamed over the old one, so that a reader (or a kill)
// sees either the old file or the new one, never a part of either.
#pragma once

#include <filesystem>
#include <string>

namespace kestrada {

// The steps of a save that replaces a file whole. A test sets the hook to
// stop the program between two of them and see what a kill there leaves;
// the game never sets it.
enum class SaveStep { ScratchMade, ScratchWritten, ScratchClosed, Replaced };
inline void (*afterSaveStep)(SaveStep) = nullptr;

// The file a path names once every symbolic link on the way is followed; a
// dangling link names the file to be created.
std::filesystem::path followLinks(std::filesystem::path file);

enum class Replace { Done, FolderRefused, Failed };

// Writes bytes to a scratch file beside `file` and renames it over the file,
// keeping the old file's permissions. FolderRefused when the folder takes
// no new file or refuses the rename; `error` holds the errno then.
Replace replaceWhole(const std::filesystem::path& file, const std::string& bytes, int& error);

// Writes all bytes and flushes them to the disk.
bool writeAll(int fd, const std::string& bytes);

} // namespace kestrada
