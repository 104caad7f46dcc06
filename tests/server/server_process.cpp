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
                             const std::filesystem::path& log) {
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
    close(out[0]); // the server prints nothing more to stdout
}

ServerProcess::~ServerProcess() {
    if (pid_ > 0) {
        kill9();
    }
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

int rawExchange(int port, const std::string& request) {
    const int fd = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<uint16_t>(port));
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
        close(fd);
        return 0;
    }
    send(fd, request.data(), request.size(), MSG_NOSIGNAL);
    char answer[64] = {};
    pollfd wait{fd, POLLIN, 0};
    int status = 0;
    if (poll(&wait, 1, 10000) > 0 && recv(fd, answer, sizeof answer - 1, 0) > 12) {
        status = std::atoi(answer + 9); // "HTTP/1.1 NNN"
    }
    close(fd);
    return status;
}

} // namespace kestrada::testing
