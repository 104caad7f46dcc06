// SPDX-License-Identifier: GPL-3.0-or-later
// The HTTP API of the shared hall of fame, JSON out; no JSON in: the query
// parameters and the run file's bytes are all a client sends.
#pragma once

#include "server/http_message.h"
#include "server/metrics.h"
#include "server/run_store.h"
#include "server/verifiers.h"
#include "server/work_pool.h"

#include <chrono>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>

namespace kestrada::server {

struct ApiSettings {
    uint32_t requestsPerMinute = 600; // reads from one client; 0: no limit
    uint32_t postsPerMinute = 10;     // runs sent from one client; 0: no limit
    // How long a submission's answer waits for its verification before 202.
    std::chrono::milliseconds verifyWait{2000};
    int64_t queuedPerClient = 20;
    int64_t queuedInAll = 2000;
    int64_t runsPerClientPerDay = 100;
    std::optional<std::string> site; // the browser build's files
    std::optional<std::string> trustedProxy;
};

struct ApiParts {
    RunStore& store;
    Verifiers& verifiers;
    WorkPool& pool;
    Metrics& metrics;
    std::function<std::size_t()> openConnections;
};

// The routes, the limits and the refusals made from the headers alone.
HttpRoutes apiRoutes(ApiParts parts, const ApiSettings& settings);

} // namespace kestrada::server
