// SPDX-License-Identifier: GPL-3.0-or-later
// The helper is a fresh program, not a fork of the threaded server: between
// fork and exec it only makes system calls (no lock another thread held at
// the fork can hang it), it holds no descriptor of the server's, it dies
// with the server, and its memory limit counts its own data alone. Runs go
// to it and answers come back framed as "LENGTH\n" and the bytes, over one
// socket that is its standard input and output.
#include "server/replay_child.h"

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <csignal>
#include <fcntl.h>
#include <iostream>
#include <iterator>
#include <memory>
#include <new>
#include <poll.h>
#include <string>
#include <sys/prctl.h>
#include <sys/resource.h>
#include <sys/socket.h>
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

// Every descriptor past standard error: the server's sockets are not
// close-on-exec, and a client's connection the helper kept would stay open
// after the server closed it, its next request never read.
void closeInherited() {
    if (close_range(STDERR_FILENO + 1, ~0U, 0) == 0) {
        return;
    }
    rlimit open{};
    getrlimit(RLIMIT_NOFILE, &open);
    for (rlim_t fd = STDERR_FILENO + 1; fd < open.rlim_cur; ++fd) {
        close(static_cast<int>(fd));
    }
}

// In the child between fork and exec: system calls only.
[[noreturn]] void execChild([[maybe_unused]] const ReplayLimits& limits, char* const* argv,
                            pid_t parent, int in, int out) {
    prctl(PR_SET_PDEATHSIG, SIGKILL);
    if (getppid() != parent) {
        _exit(kExecFailed); // the server died before the line above
    }
    // Below the threads answering requests: boards stay quick while runs are replayed.
    setpriority(PRIO_PROCESS, 0, kReplayNice);
#if !defined(__SANITIZE_ADDRESS__)
    // The address sanitizer's shadow memory counts as data.
    const rlimit memory{limits.memoryBytes, limits.memoryBytes};
    setrlimit(RLIMIT_DATA, &memory);
#endif
    if (dup2(in, STDIN_FILENO) < 0 || dup2(out, STDOUT_FILENO) < 0) {
        _exit(kExecFailed);
    }
    closeInherited();
    execv(argv[0], argv);
    _exit(kExecFailed);
}

// Waits for the socket until the deadline; false when it passed.
bool ready(int fd, short events, std::chrono::steady_clock::time_point deadline) {
    for (;;) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0) {
            return false;
        }
        pollfd wait{fd, events, 0};
        const int n = poll(&wait, 1, static_cast<int>(left.count()));
        if (n > 0) {
            return true;
        }
        if (n == 0 || errno != EINTR) {
            return false;
        }
    }
}

enum class Exchange { Answered, Late, Lost };

Exchange sendAll(int fd, std::string_view bytes, std::chrono::steady_clock::time_point deadline) {
    std::size_t sent = 0;
    while (sent < bytes.size()) {
        if (!ready(fd, POLLOUT, deadline)) {
            return Exchange::Late;
        }
        const ssize_t n = send(fd, bytes.data() + sent, bytes.size() - sent, MSG_NOSIGNAL);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            return Exchange::Lost;
        }
        sent += static_cast<std::size_t>(n);
    }
    return Exchange::Answered;
}

// One framed answer: "LENGTH\n" and the bytes.
Exchange receiveAnswer(int fd, std::chrono::steady_clock::time_point deadline,
                       std::string& answer) {
    std::string text;
    std::size_t wanted = std::string::npos;
    char buffer[512];
    while (wanted == std::string::npos || text.size() < wanted) {
        if (!ready(fd, POLLIN, deadline)) {
            return Exchange::Late;
        }
        const ssize_t n = recv(fd, buffer, sizeof buffer, 0);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            return Exchange::Lost;
        }
        text.append(buffer, static_cast<std::size_t>(n));
        const auto newline = text.find('\n');
        if (wanted == std::string::npos && newline != std::string::npos) {
            constexpr std::size_t kLongestAnswer = 4096;
            std::size_t length = 0;
            const auto [end, error] = std::from_chars(text.data(), text.data() + newline, length);
            if (error != std::errc() || end != text.data() + newline || length > kLongestAnswer) {
                return Exchange::Lost;
            }
            wanted = newline + 1 + length;
        }
    }
    answer = text.substr(text.find('\n') + 1);
    return Exchange::Answered;
}

void writeFramed(const std::string& answer) {
    std::cout << answer.size() << '\n' << answer << std::flush;
}

// Each run's CPU time: the helper's own, counted from where it stands.
void limitCpu(int seconds) {
    rusage used{};
    getrusage(RUSAGE_SELF, &used);
    const auto spent = static_cast<rlim_t>(used.ru_utime.tv_sec + used.ru_stime.tv_sec);
    rlimit cpu{};
    getrlimit(RLIMIT_CPU, &cpu);
    cpu.rlim_cur = std::min(cpu.rlim_max, spent + static_cast<rlim_t>(seconds) + 1);
    setrlimit(RLIMIT_CPU, &cpu);
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
        writeFramed("!over budget");
        _exit(0);
    }
}

} // namespace

bool ReplayHelper::start() {
    std::vector<std::string> args{limits_.program};
    args.insert(args.end(), limits_.arguments.begin(), limits_.arguments.end());
    std::vector<char*> argv;
    for (auto& arg : args) {
        argv.push_back(arg.data());
    }
    argv.push_back(nullptr);
    int ends[2];
    if (socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, ends) != 0) {
        return false;
    }
    const pid_t parent = getpid();
    const pid_t child = fork();
    if (child == 0) {
        execChild(limits_, argv.data(), parent, ends[1], ends[1]);
    }
    close(ends[1]);
    if (child < 0) {
        close(ends[0]);
        return false;
    }
    pid_ = child;
    socket_ = ends[0];
    return true;
}

void ReplayHelper::stop() {
    if (socket_ >= 0) {
        close(socket_);
        socket_ = -1;
    }
    if (pid_ > 0) {
        kill(pid_, SIGKILL);
        while (waitpid(pid_, nullptr, 0) < 0 && errno == EINTR) {
        }
        pid_ = -1;
    }
}

ChildReplay ReplayHelper::replay(std::string_view recording) {
    ChildReplay result;
    if (pid_ < 0 && !start()) {
        return result; // crashed
    }
    const auto deadline = std::chrono::steady_clock::now() + limits_.wall;
    const std::string head =
        std::to_string(recording.size()) + " " + std::to_string(limits_.cpuSeconds) + "\n";
    std::string answer;
    Exchange exchange = sendAll(socket_, head, deadline);
    if (exchange == Exchange::Answered) {
        exchange = sendAll(socket_, recording, deadline);
    }
    if (exchange == Exchange::Answered) {
        exchange = receiveAnswer(socket_, deadline, answer);
    }
    const auto replay = exchange == Exchange::Answered ? replayOf(answer) : std::nullopt;
    if (replay) {
        result.end = replay->failure == "over budget" ? ChildReplay::End::OverBudget
                                                      : ChildReplay::End::Replayed;
        result.replay = *replay;
        return result;
    }
    // The helper is lost: past its time, out of CPU, or crashed.
    close(socket_);
    socket_ = -1;
    if (exchange == Exchange::Late) {
        kill(pid_, SIGKILL);
    }
    int status = 0;
    while (waitpid(pid_, &status, 0) < 0 && errno == EINTR) {
    }
    pid_ = -1;
    if (exchange == Exchange::Late || (WIFSIGNALED(status) && WTERMSIG(status) == SIGXCPU)) {
        result.end = ChildReplay::End::OverBudget;
    }
    return result;
}

ChildReplay replayInChild(std::string_view recording, const ReplayLimits& limits) {
    ReplayHelper helper(limits);
    return helper.replay(recording);
}

int replayChildMain(const std::vector<std::string>& args) {
    if (args.size() > 1 && args[1] == kAllocateWithoutBound) {
        allocateWithoutBound();
    }
    for (;;) {
        std::size_t length = 0;
        int cpuSeconds = 0;
        if (!(std::cin >> length >> cpuSeconds) || std::cin.get() != '\n' ||
            length > (std::size_t{1} << 24)) {
            return std::cin.eof() ? 0 : 3;
        }
        std::string recording(length, '\0');
        if (!std::cin.read(recording.data(), static_cast<std::streamsize>(length))) {
            return 3;
        }
        limitCpu(cpuSeconds);
        std::string answer;
        try {
            answer = answerOf(session::replayRecording(recording));
        } catch (const std::bad_alloc&) {
            answer = "!over budget";
        }
        writeFramed(answer);
        if (!std::cout) {
            return 3;
        }
    }
}

} // namespace kestrada::server
