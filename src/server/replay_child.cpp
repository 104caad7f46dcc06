// SPDX-License-Identifier: GPL-3.0-or-later
// The child is forked, not started afresh: it has the rules already and
// costs a fraction of a millisecond. It only replays and writes its answer
// to a pipe; glibc keeps malloc usable in the child of a threaded parent.
#include "server/replay_child.h"

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <new>
#include <poll.h>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace kestrada::server {

namespace {

constexpr int kReplayNice = 10;

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

[[noreturn]] void runChild(std::string_view recording, const ReplayLimits& limits, int out) {
    // Below the threads answering requests: boards stay quick while runs are replayed.
    setpriority(PRIO_PROCESS, 0, kReplayNice);
    const rlimit cpu{static_cast<rlim_t>(limits.cpuSeconds),
                     static_cast<rlim_t>(limits.cpuSeconds + 1)};
    setrlimit(RLIMIT_CPU, &cpu);
#if !defined(__SANITIZE_ADDRESS__)
    // The address sanitizer reserves far more address space than it uses.
    const rlimit memory{limits.memoryBytes, limits.memoryBytes};
    setrlimit(RLIMIT_AS, &memory);
#endif
    std::string answer;
    try {
        answer = answerOf(session::replayRecording(recording));
    } catch (const std::bad_alloc&) {
        answer = "!over budget";
    }
    std::size_t written = 0;
    while (written < answer.size()) {
        const ssize_t n = write(out, answer.data() + written, answer.size() - written);
        if (n <= 0) {
            _exit(3);
        }
        written += static_cast<std::size_t>(n);
    }
    _exit(0);
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

} // namespace

ChildReplay replayInChild(std::string_view recording, const ReplayLimits& limits) {
    int pipeEnds[2];
    if (pipe2(pipeEnds, O_CLOEXEC) != 0) {
        return {};
    }
    const pid_t child = fork();
    if (child == 0) {
        close(pipeEnds[0]);
        runChild(recording, limits, pipeEnds[1]);
    }
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
    result.end = ChildReplay::End::Replayed;
    result.replay = *replay;
    return result;
}

} // namespace kestrada::server
