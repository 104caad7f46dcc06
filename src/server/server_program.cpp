// SPDX-License-Identifier: GPL-3.0-or-later
#include "server/server_program.h"

#include "server/api.h"
#include "server/http_server.h"
#include "server/options.h"
#include "server/replay_child.h"
#include "server/run_intake.h"
#include "server/run_store.h"
#include "server/verifiers.h"
#include "storage/game_folders.h"

#include <atomic>
#include <csignal>
#include <filesystem>
#include <iostream>
#include <mutex>
#include <pthread.h>
#include <thread>
#include <unistd.h>

namespace kestrada::server {

namespace {

constexpr int kExitFailed = 1;
constexpr int kExitBadUsage = 2;
// Requests waiting for a thread of the pool, past which a 503 answers.
constexpr std::size_t kPoolQueue = 1024;

DatabaseAddress defaultDatabase() {
    const std::filesystem::path folder = userDataFolder();
    std::error_code ec;
    std::filesystem::create_directories(folder, ec);
    return {Dialect::Sqlite, (folder / "hall-of-fame.sqlite").string()};
}

// Opens connections, making or upgrading the schema with the first one
// that reaches the database.
class SchemaOpener {
  public:
    explicit SchemaOpener(DatabaseAddress address) : address_(std::move(address)) {}
    std::unique_ptr<Connection> operator()() {
        auto connection = openConnection(address_);
        if (!ready_) {
            std::lock_guard lock(mutex_);
            if (!ready_) {
                RunStore::migrate(*connection);
                ready_ = true;
            }
        }
        return connection;
    }

  private:
    DatabaseAddress address_;
    std::mutex mutex_;
    std::atomic<bool> ready_{false};
};

int removeRun(RunStore& store, int64_t id) {
    if (!store.remove(id)) {
        std::cerr << "kestrada-server: no run " << id << '\n';
        return kExitFailed;
    }
    std::cout << "run " << id << " is off every board\n";
    return 0;
}

std::string processName() {
    char host[256] = {};
    gethostname(host, sizeof host - 1);
    return std::string(host) + ":" + std::to_string(getpid());
}

// The small replay helper beside the program (a build tree) or in the
// installed tree's libexec; none found, the program replays as its own helper.
std::string replayProgram() {
    std::error_code ec;
    const std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", ec);
    if (ec) {
        return ReplayLimits().program;
    }
    const std::filesystem::path folder = self.parent_path();
    for (const auto& candidate :
         {folder / "kestrada-server-replay",
          folder / ".." / "libexec" / "kestrada-server" / "kestrada-server-replay"}) {
        if (access(candidate.c_str(), X_OK) == 0) {
            return candidate.lexically_normal().string();
        }
    }
    return ReplayLimits().program;
}

HttpLimits httpLimits(const ServerOptions& options) {
    HttpLimits limits;
    limits.threads = std::max(2u, std::thread::hardware_concurrency());
    limits.connectionsPerAddress = options.connectionsPerAddress;
    limits.connections = options.connections;
    limits.maxBodyBytes = kMaxRunFileBytes;
    limits.trustedProxy = options.trustedProxy;
    return limits;
}

ApiSettings apiSettings(const ServerOptions& options) {
    ApiSettings api;
    api.requestsPerMinute = options.requestsPerMinute;
    api.postsPerMinute = options.postsPerMinute;
    api.verifyWait = options.verifyWait;
    api.queuedPerClient = options.queuedPerAddress;
    api.queuedInAll = options.queued;
    api.runsPerClientPerDay = options.runsPerAddressADay;
    api.site = options.site;
    api.trustedProxy = options.trustedProxy;
    return api;
}

} // namespace

int runServer(const std::vector<std::string>& args) {
    if (!args.empty() && args[0] == kReplayChildFlag) {
        return replayChildMain(args);
    }
    const ServerCommandLine line = parseServerCommandLine(args);
    if (!line.error.empty()) {
        std::cerr << "kestrada-server: " << line.error << " (try --help)\n";
        return kExitBadUsage;
    }
    const ServerOptions& options = line.options;
    if (options.help) {
        std::cout << serverUsage();
        return 0;
    }
    if (options.version) {
        std::cout << "kestrada-server " << KESTRADA_VERSION << '\n';
        return 0;
    }
    // SIGINT and SIGTERM are waited for by one thread; every other thread,
    // started after this, keeps them blocked.
    sigset_t stopSignals;
    sigemptyset(&stopSignals);
    sigaddset(&stopSignals, SIGINT);
    sigaddset(&stopSignals, SIGTERM);
    pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);
    std::signal(SIGPIPE, SIG_IGN);

    const DatabaseAddress address = options.database ? *options.database : defaultDatabase();
    auto opener = std::make_shared<SchemaOpener>(address);
    ConnectionPool pool([opener] { return (*opener)(); });
    RunStore store(pool);
    try {
        pool.borrow();
    } catch (const DatabaseError& error) {
        std::cerr << "kestrada-server: " << error.what() << '\n';
        if (!error.unavailable() || options.remove) {
            return kExitFailed;
        }
        std::cerr << "kestrada-server: answering 503 until the database is back\n";
    }
    if (options.remove) {
        return removeRun(store, *options.remove);
    }

    // Declared first, so it goes last: the pool and the verifiers answer
    // through it until they are stopped.
    HttpServer http(httpLimits(options));
    Metrics metrics;
    VerifierSettings settings;
    settings.workers =
        options.workers != 0 ? options.workers : std::max(1u, std::thread::hardware_concurrency());
    settings.lease = options.lease;
    settings.limits.program = replayProgram();
    auto verifiers = std::make_unique<Verifiers>(store, settings, processName(), &metrics);
    auto work = std::make_unique<WorkPool>(options.httpThreads, kPoolQueue);
    http.setRoutes(
        apiRoutes({store, *verifiers, *work, metrics, [&http] { return http.openConnections(); }},
                  apiSettings(options)));
    const int port = http.listen(options.host, options.port);
    if (port == 0) {
        std::cerr << "kestrada-server: cannot listen on " << options.host << ':' << options.port
                  << '\n';
        return kExitFailed;
    }
    std::cout << "kestrada-server: listening on http://" << options.host << ':' << port << "/ with "
              << (address.dialect == Dialect::Sqlite ? "SQLite" : "PostgreSQL") << std::endl;
    std::thread stopper([&] {
        int signal = 0;
        sigwait(&stopSignals, &signal);
        http.stop();
    });
    http.run();
    // Wakes the stopper when the server ended on its own.
    pthread_kill(stopper.native_handle(), SIGTERM);
    stopper.join();
    work.reset();
    verifiers.reset();
    return 0;
}

} // namespace kestrada::server
