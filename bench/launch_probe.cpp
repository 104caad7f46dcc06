// SPDX-License-Identifier: GPL-3.0-or-later
// Launches a program that reports its first frame (KESTRADA_FIRST_FRAME_EXIT)
// and measures the time from launch to that frame on the steady clock both
// share. One line out:
//   startup_ms=<ms> maxrss_kb=<kB> cpu_ms=<ms>
// maxrss_kb and cpu_ms are the child's peak resident memory and CPU time up
// to its first frame, as it reported them.
//
//   kestrada_launch_probe PROGRAM [ARGS...]
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <poll.h>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace {

constexpr int kTimeoutMs = 30000;

long long steadyNs() {
    return std::chrono::duration_cast<std::chrono::nanoseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

// Everything the child writes to its standard output, until it closes it
// or the time runs out.
std::string readAll(int fd, pid_t child) {
    std::string out;
    const long long deadline = steadyNs() + kTimeoutMs * 1000000LL;
    char buffer[4096];
    for (;;) {
        const long long left = (deadline - steadyNs()) / 1000000;
        if (left <= 0) {
            std::fprintf(stderr, "launch_probe: no exit within %d ms, killing it\n", kTimeoutMs);
            ::kill(child, SIGKILL);
            return out;
        }
        pollfd p{fd, POLLIN, 0};
        if (::poll(&p, 1, static_cast<int>(left)) < 0 && errno != EINTR) {
            return out;
        }
        const ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n == 0) {
            return out;
        }
        if (n > 0) {
            out.append(buffer, static_cast<std::size_t>(n));
        } else if (errno != EINTR && errno != EAGAIN) {
            return out;
        }
    }
}

} // namespace

int main(int argc, char* argv[]) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: kestrada_launch_probe PROGRAM [ARGS...]\n");
        return 2;
    }
    ::setenv("KESTRADA_FIRST_FRAME_EXIT", "1", 1);
    int pipeFds[2];
    if (::pipe(pipeFds) != 0) {
        std::perror("pipe");
        return 1;
    }
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, pipeFds[1], STDOUT_FILENO);
    posix_spawn_file_actions_addclose(&actions, pipeFds[0]);
    posix_spawn_file_actions_addclose(&actions, pipeFds[1]);

    pid_t child = 0;
    const long long launched = steadyNs();
    const int spawnError = ::posix_spawn(&child, argv[1], &actions, nullptr, argv + 1, environ);
    posix_spawn_file_actions_destroy(&actions);
    ::close(pipeFds[1]);
    if (spawnError != 0) {
        std::fprintf(stderr, "launch_probe: cannot start %s: %s\n", argv[1],
                     std::strerror(spawnError));
        return 1;
    }
    const std::string out = readAll(pipeFds[0], child);
    ::close(pipeFds[0]);

    int status = 0;
    ::waitpid(child, &status, 0);

    long long frameAt = 0;
    long peakKb = 0;
    long long cpuUs = 0;
    const auto at = out.find("first-frame ");
    if (at == std::string::npos || std::sscanf(out.c_str() + at, "first-frame %lld %ld %lld",
                                               &frameAt, &peakKb, &cpuUs) != 3) {
        std::fprintf(stderr, "launch_probe: %s reported no first frame\n", argv[1]);
        return 1;
    }
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        std::fprintf(stderr, "launch_probe: %s did not exit cleanly (status %d)\n", argv[1],
                     status);
        return 1;
    }
    std::printf("startup_ms=%.2f maxrss_kb=%ld cpu_ms=%.1f\n",
                static_cast<double>(frameAt - launched) / 1e6, peakKb,
                static_cast<double>(cpuUs) / 1e3);
    return 0;
}
