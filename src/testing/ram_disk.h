// A small RAM disk for tests of what happens when the disk is full or read
// only. It is mounted in a child process with a mount namespace of its own,
// so it can neither leak into the rest of the system nor outlive the test.
#pragma once

#include <cerrno>
#include <csignal>
#include <cstring>
#include <exception>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <functional>
#include <sched.h>
#include <string>
#include <string_view>
#include <sys/mount.h>
#include <sys/wait.h>
#include <unistd.h>

namespace kestrada::testing {

// How a report starts when the system would not give us a RAM disk.
inline constexpr std::string_view kRamDiskUnavailable = "no RAM disk: ";

namespace detail {

inline bool writeText(const char* file, const std::string& text) {
    std::ofstream out(file);
    out << text;
    out.flush();
    return static_cast<bool>(out);
}

// Root may simply unshare; anyone else becomes root of a user namespace of
// their own first, where the kernel allows that.
inline std::string enterPrivateMounts() {
    if (::unshare(CLONE_NEWNS) != 0) {
        const uid_t uid = ::getuid();
        const gid_t gid = ::getgid();
        if (::unshare(CLONE_NEWUSER | CLONE_NEWNS) != 0) {
            return std::string("cannot unshare mounts: ") + std::strerror(errno);
        }
        if (!writeText("/proc/self/setgroups", "deny") ||
            !writeText("/proc/self/uid_map", "0 " + std::to_string(uid) + " 1") ||
            !writeText("/proc/self/gid_map", "0 " + std::to_string(gid) + " 1")) {
            return "cannot map the user into its namespace";
        }
    }
    // Without this a mount below a shared one would show up outside too.
    if (::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0) {
        return std::string("cannot make mounts private: ") + std::strerror(errno);
    }
    return "";
}

} // namespace detail

// Runs scenario in a child process that sees a fresh RAM disk of `bytes`
// mounted on folder; returns the scenario's report (empty when all was
// well), or a report starting with kRamDiskUnavailable.
inline std::string onRamDisk(const std::filesystem::path& folder, std::size_t bytes,
                             const std::function<std::string()>& scenario) {
    int channel[2];
    if (::pipe(channel) != 0) {
        return std::string(kRamDiskUnavailable) + "no pipe";
    }
    const pid_t child = ::fork();
    if (child == 0) {
        ::close(channel[0]);
        std::string report = detail::enterPrivateMounts();
        if (!report.empty()) {
            report.insert(0, kRamDiskUnavailable);
        } else if (::mount("tmpfs", folder.c_str(), "tmpfs", MS_NOSUID | MS_NODEV,
                           ("size=" + std::to_string(bytes)).c_str()) != 0) {
            report = std::string(kRamDiskUnavailable) + "cannot mount: " + std::strerror(errno);
        } else {
            try {
                report = scenario();
            } catch (const std::exception& e) {
                report = std::string("exception: ") + e.what();
            }
        }
        std::size_t sent = 0;
        while (sent < report.size()) {
            const ssize_t n = ::write(channel[1], report.data() + sent, report.size() - sent);
            if (n <= 0) {
                break;
            }
            sent += static_cast<std::size_t>(n);
        }
        ::_exit(0); // no test-framework clean-up in the child
    }
    ::close(channel[1]);
    std::string report;
    char buffer[512];
    for (ssize_t n; (n = ::read(channel[0], buffer, sizeof buffer)) > 0;) {
        report.append(buffer, static_cast<std::size_t>(n));
    }
    ::close(channel[0]);
    int status = 0;
    ::waitpid(child, &status, 0);
    if (WIFSIGNALED(status)) {
        report += "the scenario died of signal " + std::to_string(WTERMSIG(status));
    }
    return report;
}

// Fills the disk holding file until a write fails; the bytes written.
inline std::size_t fillDisk(const std::filesystem::path& file) {
    const int fd = ::open(file.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0) {
        return 0;
    }
    const std::string block(4096, 'x');
    std::size_t total = 0;
    for (ssize_t n; (n = ::write(fd, block.data(), block.size())) > 0;) {
        total += static_cast<std::size_t>(n);
    }
    ::close(fd);
    return total;
}

// Remounts the RAM disk on folder read-only; a fault report, empty on success.
inline std::string makeRamDiskReadOnly(const std::filesystem::path& folder) {
    if (::mount(nullptr, folder.c_str(), nullptr, MS_REMOUNT | MS_RDONLY, nullptr) != 0) {
        return std::string("cannot remount read-only: ") + std::strerror(errno) + "; ";
    }
    const int fd = ::open((folder / "probe").c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0644);
    if (fd >= 0) {
        ::close(fd);
        return "the read-only disk took a new file; ";
    }
    return "";
}

} // namespace kestrada::testing
