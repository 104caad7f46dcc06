// SPDX-License-Identifier: GPL-3.0-or-later
#include "world/downloaded_run.h"

#include <cstdlib>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace kestrada::session {

std::optional<std::filesystem::path> keepDownloadedRun(const std::string& text) {
    std::error_code ec;
    const std::filesystem::path folder = std::filesystem::temp_directory_path(ec);
    if (ec) {
        return std::nullopt;
    }
    std::string pattern = (folder / (std::string(kDownloadedRunPrefix) + "XXXXXX")).string();
    std::vector<char> name(pattern.begin(), pattern.end());
    name.push_back('\0');
    // A new file, made here and readable by this user only.
    const int fd = ::mkstemp(name.data());
    if (fd < 0) {
        return std::nullopt;
    }
    std::size_t written = 0;
    while (written < text.size()) {
        const ssize_t n = ::write(fd, text.data() + written, text.size() - written);
        if (n <= 0) {
            break;
        }
        written += static_cast<std::size_t>(n);
    }
    ::close(fd);
    const std::filesystem::path file(name.data());
    if (written < text.size()) {
        std::filesystem::remove(file, ec);
        return std::nullopt;
    }
    return file;
}

void forgetDownloadedRun(const std::filesystem::path& file) {
    std::error_code ec;
    const bool ours = file.parent_path() == std::filesystem::temp_directory_path(ec) &&
                      file.filename().string().starts_with(kDownloadedRunPrefix) &&
                      std::filesystem::is_regular_file(std::filesystem::symlink_status(file, ec));
    struct stat st {};
    if (ours && ::lstat(file.c_str(), &st) == 0 && st.st_uid == ::geteuid()) {
        std::filesystem::remove(file, ec);
    }
}

} // namespace kestrada::session
