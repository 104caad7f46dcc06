// SPDX-License-Identifier: GPL-3.0-or-later
// The event-driven HTTP/1.1 server: an event loop a thread, which between
// them wait on every socket at once, so a client that sends slowly costs
// memory, never a thread. Each request has a deadline for its headers and,
// past them, for its body at a minimum rate; connections are capped per
// address and in all.
#pragma once

#include "server/http_message.h"

#include <chrono>
#include <cstddef>
#include <memory>
#include <optional>
#include <string>

namespace kestrada::server {

struct HttpLimits {
    unsigned threads = 2;
    // The whole header, from the connection's start or the previous answer.
    std::chrono::milliseconds headerDeadline{5000};
    // The slowest body taken: its deadline grows by a second for each this many bytes.
    std::size_t bodyBytesPerSecond = 16 * 1024;
    // Writing an answer.
    std::chrono::milliseconds writeDeadline{10000};
    unsigned connectionsPerAddress = 32; // 0: no cap
    unsigned connections = 4096;
    std::size_t maxHeaderBytes = 16 * 1024;
    std::size_t maxBodyBytes = std::size_t{1} << 20;
    // Requests from this address are counted by X-Forwarded-For's last hop,
    // and its connections are not capped per address.
    std::optional<std::string> trustedProxy;
};

class HttpServer {
  public:
    explicit HttpServer(HttpLimits limits);
    ~HttpServer();
    HttpServer(const HttpServer&) = delete;
    HttpServer& operator=(const HttpServer&) = delete;

    void setRoutes(HttpRoutes routes);
    // The port bound (the one asked for, or the one chosen for 0); 0 when
    // the address cannot be bound.
    int listen(const std::string& host, int port);
    // Serves until stop(); on the calling thread and limits.threads - 1 more.
    void run();
    // From any thread, a signal handler's thread included.
    void stop();
    std::size_t openConnections() const;

    struct Impl; // the sessions reach it too

  private:
    std::unique_ptr<Impl> impl_;
};

} // namespace kestrada::server
