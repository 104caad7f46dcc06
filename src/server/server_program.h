// SPDX-License-Identifier: GPL-3.0-or-later
// `kestrada-server`: the command line, the database, the verifiers and the
// HTTP server put together, until SIGINT or SIGTERM.
#pragma once

#include <string>
#include <vector>

namespace kestrada::server {

// The process exit status.
int runServer(const std::vector<std::string>& args);

} // namespace kestrada::server
