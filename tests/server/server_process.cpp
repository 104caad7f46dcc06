// SPDX-License-Identifier: GPL-3.0-or-later
#include "server_process.h"

#include <arpa/inet.h>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace kestrada::testing {

namespace {

constexpr int kStartMs = 20000;

// The first line the server prints names its port: "...:PORT/ with ...".
int portOf(const std::string& line) {
    const auto slash = line.find("/ with");
    const auto colon = line.rfind(':', slash);
    if (slash == std::string::npos || colon == std::string::npos) {
        return 0;
    }
    return std::atoi(line.substr(colon + 1, slash - colon - 1).c_str());
}

std::string firstLine(int fd) {
    std::string line;
    char c = 0;
    pollfd wait{fd, POLLIN, 0};
    while (poll(&wait, 1, kStartMs) > 0 && read(fd, &c, 1) == 1 && c != '\n') {
        line += c;
    }
    return line;
}

} // namespace

ServerProcess::ServerProcess(const std::vector<std::string>& arguments,
                             const std::filesystem::path& log, bool keepOutput) {
    std::vector<std::string> all{KESTRADA_SERVER_PROGRAM, "--listen", "127.0.0.1:0"};
    all.insert(all.end(), arguments.begin(), arguments.end());
    std::vector<char*> argv;
    for (auto& argument : all) {
        argv.push_back(argument.data());
    }
    argv.push_back(nullptr);
    int out[2];
    if (pipe(out) != 0) {
        return;
    }
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, out[1], STDOUT_FILENO);
    posix_spawn_file_actions_addclose(&actions, out[0]);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, log.c_str(),
                                     O_WRONLY | O_CREAT | O_APPEND, 0644);
    const int spawned = posix_spawn(&pid_, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    close(out[1]);
    if (spawned != 0) {
        pid_ = -1;
        close(out[0]);
        return;
    }
    port_ = portOf(firstLine(out[0]));
    if (keepOutput) {
        output_ = out[0];
    } else {
        close(out[0]);
    }
}

ServerProcess::~ServerProcess() {
    if (pid_ > 0) {
        kill9();
    }
    if (output_ >= 0) {
        close(output_);
    }
}

std::string ServerProcess::outputLine() const {
    return output_ >= 0 ? firstLine(output_) : "";
}

bool ServerProcess::alive() const {
    return pid_ > 0 && waitpid(pid_, nullptr, WNOHANG) == 0;
}

void ServerProcess::kill9() {
    kill(pid_, SIGKILL);
    waitpid(pid_, nullptr, 0);
    pid_ = -1;
}

int ServerProcess::stop() {
    int status = -1;
    kill(pid_, SIGTERM);
    waitpid(pid_, &status, 0);
    pid_ = -1;
    return status;
}

Background::Background(std::vector<std::string> argv, const std::filesystem::path& log) {
    std::vector<char*> args;
    for (auto& arg : argv) {
        args.push_back(arg.data());
    }
    args.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, log.c_str(),
                                     O_WRONLY | O_CREAT | O_TRUNC, 0644);
    posix_spawn_file_actions_adddup2(&actions, STDOUT_FILENO, STDERR_FILENO);
    if (posix_spawn(&pid_, args[0], &actions, nullptr, args.data(), environ) != 0) {
        pid_ = -1;
    }
    posix_spawn_file_actions_destroy(&actions);
}

Background::~Background() {
    if (pid_ > 0) {
        kill(pid_, SIGKILL);
        waitpid(pid_, nullptr, 0);
    }
}

int freePort() {
    const int fd = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t size = sizeof address;
    int port = 0;
    if (bind(fd, reinterpret_cast<sockaddr*>(&address), size) == 0 &&
        getsockname(fd, reinterpret_cast<sockaddr*>(&address), &size) == 0) {
        port = ntohs(address.sin_port);
    }
    close(fd);
    return port;
}

int rawExchange(int port, const std::string& request) {
    return exchangeFrom("127.0.0.1", port, request).status;
}

int connectFrom(const std::string& source, int port) {
    const int fd = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in from{};
    from.sin_family = AF_INET;
    inet_pton(AF_INET, source.c_str(), &from.sin_addr);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<uint16_t>(port));
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (bind(fd, reinterpret_cast<sockaddr*>(&from), sizeof from) != 0 ||
        connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
        close(fd);
        return -1;
    }
    return fd;
}

Answer readAnswer(int fd, int timeoutMs) {
    const auto start = std::chrono::steady_clock::now();
    std::string text;
    std::size_t wanted = std::string::npos;
    char buffer[16384];
    pollfd wait{fd, POLLIN, 0};
    const auto end = start + std::chrono::milliseconds(timeoutMs);
    while (text.size() < wanted) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            end - std::chrono::steady_clock::now());
        if (left.count() <= 0 || poll(&wait, 1, static_cast<int>(left.count())) <= 0) {
            break;
        }
        const ssize_t n = recv(fd, buffer, sizeof buffer, 0);
        if (n <= 0) {
            break;
        }
        text.append(buffer, static_cast<std::size_t>(n));
        const auto blank = text.find("\r\n\r\n");
        if (wanted == std::string::npos && blank != std::string::npos) {
            const auto length = text.find("Content-Length: ");
            wanted = length < blank ? blank + 4 + std::stoul(text.substr(length + 16)) : wanted;
        }
    }
    Answer answer;
    const auto blank = text.find("\r\n\r\n");
    if (text.size() > 12 && blank != std::string::npos) {
        answer.status = std::atoi(text.c_str() + 9); // "HTTP/1.1 NNN"
        answer.head = text.substr(0, blank);
        answer.body = text.substr(blank + 4);
    }
    answer.ms =
        std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
    return answer;
}

bool closedWithin(int fd, int timeoutMs) {
    pollfd wait{fd, POLLIN, 0};
    char buffer[256];
    while (poll(&wait, 1, timeoutMs) > 0) {
        const ssize_t n = recv(fd, buffer, sizeof buffer, 0);
        if (n <= 0) {
            return true; // its end, or a reset
        }
    }
    return false;
}

Answer exchangeFrom(const std::string& source, int port, const std::string& request,
                    int timeoutMs) {
    const auto start = std::chrono::steady_clock::now();
    const int fd = connectFrom(source, port);
    if (fd < 0) {
        return {};
    }
    send(fd, request.data(), request.size(), MSG_NOSIGNAL);
    Answer answer = readAnswer(fd, timeoutMs);
    close(fd);
    answer.ms =
        std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
    return answer;
}

Answer getFrom(const std::string& source, int port, const std::string& target) {
    return exchangeFrom(source, port,
                        "GET " + target + " HTTP/1.1\r\nHost: k\r\nConnection: close\r\n\r\n");
}

Answer postFrom(const std::string& source, int port, const std::string& target,
                const std::string& body, const std::string& type) {
    return exchangeFrom(source, port,
                        "POST " + target + " HTTP/1.1\r\nHost: k\r\nConnection: close\r\n" +
                            (type.empty() ? "" : "Content-Type: " + type + "\r\n") +
                            "Content-Length: " + std::to_string(body.size()) + "\r\n\r\n" + body);
}

} // namespace kestrada::testing
