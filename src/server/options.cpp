// SPDX-License-Identifier: GPL-3.0-or-later
#include "server/options.h"

#include "server/client_address.h"

#include <charconv>

namespace kestrada::server {

namespace {

template <typename Number>
bool numberOf(const std::string& text, Number low, Number high, Number& value) {
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    return !text.empty() && error == std::errc() && end == text.data() + text.size() &&
           value >= low && value <= high;
}

bool listenOf(const std::string& text, ServerOptions& options) {
    const auto colon = text.rfind(':');
    if (colon == std::string::npos || colon == 0) {
        return false;
    }
    options.host = text.substr(0, colon);
    return numberOf(text.substr(colon + 1), 0, 65535, options.port);
}

} // namespace

ServerCommandLine parseServerCommandLine(const std::vector<std::string>& args) {
    ServerCommandLine line;
    ServerOptions& o = line.options;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (arg == "--help" || arg == "-h") {
            o.help = true;
            continue;
        }
        if (arg == "--version") {
            o.version = true;
            continue;
        }
        if (i + 1 >= args.size()) {
            line.error = arg.starts_with("--") ? arg + " needs a value" : "unknown argument " + arg;
            return line;
        }
        const std::string& value = args[++i];
        bool good = true;
        unsigned number = 0;
        int64_t id = 0;
        if (arg == "--listen") {
            good = listenOf(value, o);
        } else if (arg == "--database") {
            o.database = parseDatabaseAddress(value);
            good = o.database.has_value();
        } else if (arg == "--site") {
            o.site = value;
        } else if (arg == "--workers") {
            good = numberOf(value, 1u, 256u, o.workers);
        } else if (arg == "--http-threads") {
            good = numberOf(value, 1u, 1024u, o.httpThreads);
        } else if (arg == "--lease") {
            good = numberOf(value, 1u, 86400u, number);
            o.lease = std::chrono::seconds(number);
        } else if (arg == "--verify-wait") {
            good = numberOf(value, 0u, 60000u, number);
            o.verifyWait = std::chrono::milliseconds(number);
        } else if (arg == "--requests-per-minute") {
            good = numberOf(value, 0u, 100'000'000u, o.requestsPerMinute);
        } else if (arg == "--posts-per-minute") {
            good = numberOf(value, 0u, 100'000'000u, o.postsPerMinute);
        } else if (arg == "--connections-per-address") {
            good = numberOf(value, 0u, 1'000'000u, o.connectionsPerAddress);
        } else if (arg == "--max-connections") {
            good = numberOf(value, 1u, 1'000'000u, o.connections);
        } else if (arg == "--queued-per-address") {
            good = numberOf(value, 1u, 1'000'000u, o.queuedPerAddress);
        } else if (arg == "--queued") {
            good = numberOf(value, 1u, 100'000'000u, o.queued);
        } else if (arg == "--runs-per-address-a-day") {
            good = numberOf(value, 1u, 100'000'000u, o.runsPerAddressADay);
        } else if (arg == "--trusted-proxy") {
            o.trustedProxy = value;
            good = addressKey(value).has_value();
        } else if (arg == "--remove") {
            good = numberOf(value, int64_t{1}, INT64_MAX, id);
            o.remove = id;
        } else {
            line.error = "unknown option " + arg;
            return line;
        }
        if (!good) {
            line.error = arg + ": bad value \"" + value + "\"";
            return line;
        }
    }
    return line;
}

std::string serverUsage() {
    return "Usage: kestrada-server [OPTION]...\n"
           "A shared hall of fame: every run sent is replayed, and kept on the boards\n"
           "only when it replays to the score it claims.\n"
           "\n"
           "  --listen HOST:PORT       where to answer (127.0.0.1:8080; port 0 picks one)\n"
           "  --database sqlite:PATH   SQLite, the default: hall-of-fame.sqlite in the\n"
           "                           user's data folder\n"
           "  --database postgresql:CONNINFO\n"
           "                           PostgreSQL (libpq's conninfo or URI); several\n"
           "                           servers may share one database\n"
           "  --site DIR               also serve the browser build's files from DIR\n"
           "  --workers N              verifier workers (one a core)\n"
           "  --http-threads N         threads for requests that wait on the database (16)\n"
           "  --lease SECONDS          a claimed run is claimable again after this (60)\n"
           "  --requests-per-minute N  API reads from one address; 0 for no limit (600)\n"
           "  --posts-per-minute N     runs sent from one address; 0 for no limit (10)\n"
           "  --connections-per-address N\n"
           "                           open at once from one address; 0 for no cap (32)\n"
           "  --max-connections N      open at once in all (4096)\n"
           "  --queued-per-address N   runs from one address waiting for their replay (20)\n"
           "  --queued N               runs waiting for their replay in all (2000)\n"
           "  --runs-per-address-a-day N\n"
           "                           runs kept from one address in a UTC day (100)\n"
           "  --trusted-proxy ADDR     the reverse proxy in front: its requests count by\n"
           "                           X-Forwarded-For's last address\n"
           "  --verify-wait MS         how long a submission waits for its replay\n"
           "                           before answering 202 (2000)\n"
           "  --remove ID              take run ID off every board, then exit\n"
           "  --help, --version\n";
}

} // namespace kestrada::server
