// SPDX-License-Identifier: GPL-3.0-or-later
// A real kestrada-server for the tests: started on a free loopback port,
// its stderr kept in a file, stopped or killed by its own process id.
#pragma once

#include <chrono>
#include <filesystem>
#include <string>
#include <sys/types.h>
#include <thread>
#include <vector>

namespace kestrada::testing {

class ServerProcess {
  public:
    // Starts the server with these arguments beside --listen 127.0.0.1:0;
    // port() is 0 when it did not come up. Its standard output past the
    // first line is read with outputLine() when kept, else dropped.
    ServerProcess(const std::vector<std::string>& arguments, const std::filesystem::path& log,
                  bool keepOutput = false);
    ~ServerProcess();
    ServerProcess(const ServerProcess&) = delete;
    ServerProcess& operator=(const ServerProcess&) = delete;

    int port() const { return port_; }
    // The next line of its standard output; empty when none came in time.
    std::string outputLine() const;
    pid_t pid() const { return pid_; }
    bool alive() const;
    void kill9();
    // SIGTERM, then waits for the exit; the exit status.
    int stop();

  private:
    pid_t pid_ = -1;
    int port_ = 0;
    int output_ = -1;
};

// Another program in the background (slowhttptest, nginx), its output in
// `log`, killed by its own id when done with.
class Background {
  public:
    Background(std::vector<std::string> argv, const std::filesystem::path& log);
    ~Background();
    Background(const Background&) = delete;
    Background& operator=(const Background&) = delete;
    bool started() const { return pid_ > 0; }

  private:
    pid_t pid_ = -1;
};

// A loopback port free a moment ago, for a program that needs one named.
int freePort();

// One HTTP exchange written by hand, for requests a client library would
// not send; the status of the answer, 0 when there was none.
int rawExchange(int port, const std::string& request);

struct Answer {
    int status = 0; // 0: none in time
    std::string head;
    std::string body;
    double ms = 0; // from connecting to the last byte
};
// A connection from a loopback address of the caller's choice (every 127.x
// is this machine); -1 when none was made.
int connectFrom(const std::string& source, int port);
// One answer read from a connection left open after it.
Answer readAnswer(int fd, int timeoutMs);
// Whether the connection's end (or a reset) comes within the time.
bool closedWithin(int fd, int timeoutMs);
// One exchange on a connection of its own, the answer read whole.
Answer exchangeFrom(const std::string& source, int port, const std::string& request,
                    int timeoutMs = 10000);
// A GET, or a POST of `body` with that Content-Type (none when empty).
Answer getFrom(const std::string& source, int port, const std::string& target);
Answer postFrom(const std::string& source, int port, const std::string& target,
                const std::string& body, const std::string& type);

// Waits, at most `limit`, for `done` to hold, looking every 50 ms.
template <typename Done> bool eventually(Done done, std::chrono::seconds limit) {
    const auto end = std::chrono::steady_clock::now() + limit;
    while (!done()) {
        if (std::chrono::steady_clock::now() > end) {
            return false;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return true;
}

} // namespace kestrada::testing
