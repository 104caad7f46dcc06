// SPDX-License-Identifier: GPL-3.0-or-later
// One line a request on standard output, for journald: time, client,
// method, path (without its query: names stay out of the log), status,
// bytes of the answer's body and milliseconds taken.
#pragma once

#include "server/http_message.h"

#include <cstddef>
#include <string>

namespace kestrada::server {

std::string accessLine(const HttpRequest& req, int status, std::size_t bytes, int64_t nowMs,
                       double milliseconds);
void logAccess(const HttpRequest& req, int status, std::size_t bytes);

} // namespace kestrada::server
