// SPDX-License-Identifier: GPL-3.0-or-later
// kestrada-server's command line.
#pragma once

#include "server/database.h"

#include <chrono>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace kestrada::server {

struct ServerOptions {
    std::string host = "127.0.0.1";
    int port = 8080;
    std::optional<DatabaseAddress> database; // none: SQLite in the user's data folder
    std::optional<std::string> site;
    unsigned workers = 0; // 0: one a core
    unsigned httpThreads = 16;
    std::chrono::seconds lease{60};
    uint32_t requestsPerMinute = 600;
    uint32_t postsPerMinute = 10;
    unsigned connectionsPerAddress = 32;
    unsigned connections = 4096;
    unsigned queuedPerAddress = 20;
    unsigned queued = 2000;
    unsigned runsPerAddressADay = 100;
    std::optional<std::string> trustedProxy;
    // How long a submission waits for its replay before answering 202.
    std::chrono::milliseconds verifyWait{2000};
    std::optional<int64_t> remove;
    bool help = false;
    bool version = false;
};

struct ServerCommandLine {
    ServerOptions options;
    std::string error; // empty when the line was good
};

ServerCommandLine parseServerCommandLine(const std::vector<std::string>& args);
std::string serverUsage();

} // namespace kestrada::server
