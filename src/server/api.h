// SPDX-License-Identifier: GPL-3.0-or-later
// The HTTP API of the shared hall of fame, JSON out; no JSON in: the query
// parameters and the run file's text are all a client sends.
#pragma once

#include "server/rate_limit.h"
#include "server/run_store.h"
#include "server/verifiers.h"

#include <chrono>
#include <cstdint>
#include <optional>
#include <string>

namespace httplib {
class Server;
}

namespace kestrada::server {

struct ApiSettings {
    uint32_t requestsPerMinute = 600;
    // How long a submission waits for its verification before answering 202.
    std::chrono::milliseconds verifyWait{2000};
    std::optional<std::string> site; // the browser build's files
};

// Routes, limits and the refusals that come before a body is read.
void mountApi(httplib::Server& http, RunStore& store, Verifiers& verifiers, RateLimit& rateLimit,
              const ApiSettings& settings);

} // namespace kestrada::server
