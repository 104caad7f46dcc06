// SPDX-License-Identifier: GPL-3.0-or-later
// A world row's run, downloaded to replay in a window of its own: a new
// file in the temporary folder that only this user can read, never a name
// known in advance (so another user's file or link there is never written
// through), removed once its replay window closes.
#pragma once

#include <filesystem>
#include <optional>
#include <string>

namespace kestrada::session {

inline constexpr const char* kDownloadedRunPrefix = "kestrada-world-run-";

// The file it was written to; nothing when the temporary folder took none.
std::optional<std::filesystem::path> keepDownloadedRun(const std::string& text);
// Its replay window closed: a file keepDownloadedRun made goes; any other
// is left as it is.
void forgetDownloadedRun(const std::filesystem::path& file);

} // namespace kestrada::session
