// SPDX-License-Identifier: GPL-3.0-or-later
// The child is a fresh program, not a fork of the threaded server: between
// fork and exec it only makes system calls (no lock another thread held at
// the fork can hang it), it holds no descriptor of the server's, it dies
// with the server, and its memory limit counts its own data alone.
#include "server/replay_child.h"

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <iostream>
#include <iterator>
#include <memory>
#include <new>
#include <poll.h>
#include <string>
#include <sys/mman.h>
#include <sys/prctl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace kestrada::server {

namespace {

constexpr int kReplayNice = 10;
constexpr int kExecFailed = 127;

// The answer: "score\nseed\ngames\n" for a score, or "!reason" for none.
std::string answerOf(const session::RecordingReplay& replay) {
    if (!replay.score) {
        return "!" + replay.failure;
    }
    return *replay.score + "\n" + std::to_string(replay.seed) + "\n" +
           std::to_string(replay.games) + "\n";
}

std::optional<session::RecordingReplay> replayOf(const std::string& answer) {
    session::RecordingReplay replay;
    if (answer.starts_with("!")) {
        replay.failure = answer.substr(1);
        return replay;
    }
    const auto first = answer.find('\n');
    const auto second = answer.find('\n', first + 1);
    if (first == std::string::npos || second == std::string::npos || answer.back() != '\n') {
        return std::nullopt;
    }
    replay.score = answer.substr(0, first);
    replay.seed = static_cast<uint32_t>(std::stoul(answer.substr(first + 1, second - first - 1)));
    replay.games = static_cast<unsigned>(std::stoul(answer.substr(second + 1)));
    return replay;
}

// The recording in an anonymous file, read by the child as its standard input.
int recordingFile(std::string_view recording) {
    const int fd = memfd_create("kestrada-run", MFD_CLOEXEC);
    if (fd < 0) {
        return -1;
    }
    std::size_t written = 0;
    while (written < recording.size()) {
        const ssize_t n = write(fd, recording.data() + written, recording.size() - written);
        if (n <= 0) {
            close(fd);
            return -1;
        }
        written += static_cast<std::size_t>(n);
    }
    lseek(fd, 0, SEEK_SET);
    return fd;
}

// In the child between fork and exec: system calls only.
[[noreturn]] void execChild(const ReplayLimits& limits, char* const* argv, pid_t parent, int in,
                            int out) {
    prctl(PR_SET_PDEATHSIG, SIGKILL);
    if (getppid() != parent) {
        _exit(kExecFailed); // the server died before the line above
    }
    // Below the threads answering requests: boards stay quick while runs are replayed.
    setpriority(PRIO_PROCESS, 0, kReplayNice);
    const rlimit cpu{static_cast<rlim_t>(limits.cpuSeconds),
                     static_cast<rlim_t>(limits.cpuSeconds + 1)};
    setrlimit(RLIMIT_CPU, &cpu);
#if !defined(__SANITIZE_ADDRESS__)
    // The address sanitizer's shadow memory counts as data.
    const rlimit memory{limits.memoryBytes, limits.memoryBytes};
    setrlimit(RLIMIT_DATA, &memory);
#endif
    if (dup2(in, STDIN_FILENO) < 0 || dup2(out, STDOUT_FILENO) < 0) {
        _exit(kExecFailed);
    }
    execv(argv[0], argv);
    _exit(kExecFailed);
}

// Reads the child's answer until it closes the pipe or the deadline passes.
bool readAnswer(int in, std::chrono::steady_clock::time_point deadline, std::string& answer) {
    char buffer[512];
    for (;;) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0) {
            return false;
        }
        pollfd wait{in, POLLIN, 0};
        const int ready = poll(&wait, 1, static_cast<int>(left.count()));
        if (ready < 0 && errno == EINTR) {
            continue;
        }
        if (ready <= 0) {
            return false;
        }
        const ssize_t n = read(in, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            return true;
        }
        answer.append(buffer, static_cast<std::size_t>(n));
    }
}

// The self-test: memory taken and touched until the limit refuses more.
[[noreturn]] void allocateWithoutBound() {
    constexpr std::size_t kStep = std::size_t{16} << 20;
    std::vector<std::unique_ptr<char[]>> kept;
    try {
        for (;;) {
            kept.push_back(std::make_unique<char[]>(kStep));
            kept.back()[kStep - 1] = 1;
        }
    } catch (const std::bad_alloc&) {
        std::cout << "!over budget" << std::flush;
        _exit(0);
    }
}

} // namespace

ChildReplay replayInChild(std::string_view recording, const ReplayLimits& limits) {
    std::vector<std::string> args{limits.program};
    args.insert(args.end(), limits.arguments.begin(), limits.arguments.end());
    std::vector<char*> argv;
    for (auto& arg : args) {
        argv.push_back(arg.data());
    }
    argv.push_back(nullptr);
    const int in = recordingFile(recording);
    int pipeEnds[2];
    if (in < 0 || pipe2(pipeEnds, O_CLOEXEC) != 0) {
        if (in >= 0) {
            close(in);
        }
        return {};
    }
    const pid_t parent = getpid();
    const pid_t child = fork();
    if (child == 0) {
        execChild(limits, argv.data(), parent, in, pipeEnds[1]);
    }
    close(in);
    close(pipeEnds[1]);
    if (child < 0) {
        close(pipeEnds[0]);
        return {};
    }
    std::string answer;
    const bool inTime =
        readAnswer(pipeEnds[0], std::chrono::steady_clock::now() + limits.wall, answer);
    close(pipeEnds[0]);
    if (!inTime) {
        kill(child, SIGKILL);
    }
    int status = 0;
    while (waitpid(child, &status, 0) < 0 && errno == EINTR) {
    }
    ChildReplay result;
    if (!inTime || (WIFSIGNALED(status) && WTERMSIG(status) == SIGXCPU)) {
        result.end = ChildReplay::End::OverBudget;
        return result;
    }
    const auto replay = replayOf(answer);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0 || !replay) {
        return result; // crashed
    }
    if (replay->failure == "over budget") {
        result.end = ChildReplay::End::OverBudget;
        return result;
    }
    result.end = ChildReplay::End::Replayed;
    result.replay = *replay;
    return result;
}

int replayChildMain(const std::vector<std::string>& args) {
    if (args.size() > 1 && args[1] == kAllocateWithoutBound) {
        allocateWithoutBound();
    }
    const std::string recording{std::istreambuf_iterator<char>(std::cin),
                                std::istreambuf_iterator<char>()};
    std::string answer;
    try {
        answer = answerOf(session::replayRecording(recording));
    } catch (const std::bad_alloc&) {
        answer = "!over budget";
    }
    std::cout << answer << std::flush;
    return std::cout ? 0 : 3;
}

} // namespace kestrada::server
