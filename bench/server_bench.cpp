// SPDX-License-Identifier: GPL-3.0-or-later
// kestrada-server measured over loopback, with SQLite and with a private
// PostgreSQL: verified 10-minute runs (15 000 slots each) a second, and
// board reads a second, with their latency, while runs are being verified.
//
//   server_bench [--runs N] [--seconds S] [--readers R] [sqlite] [postgresql]
#include "postgres_cluster.h"
#include "server_process.h"
#include "session/run_verification.h"
#include "testing/test_game.h"

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <fstream>
#include <httplib.h>
#include <iostream>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;
using kestrada::testing::ServerProcess;

constexpr int kPosters = 4;
// A 10-minute run: the car kept standing for 15 000 slots, every slot ticking.
constexpr int kRunSlots = 15000;

struct Settings {
    int runs = 400;
    int seconds = 5;
    int readers = 4;
    std::vector<std::string> databases;
};

struct Figures {
    double runsPerSecond = 0;
    int verified = 0;
    double readsPerSecond = 0;
    double p50Ms = 0;
    double p99Ms = 0;
    int readErrors = 0;
};

std::string runFile(uint32_t seed) {
    return std::string("# kestrada ") + KESTRADA_VERSION + " seed " + std::to_string(seed) +
           " high \"0\"\n" + std::to_string(kRunSlots) + " menu mnuExit\n";
}

std::string loadAverage() {
    std::ifstream in("/proc/loadavg");
    std::string one;
    std::string five;
    in >> one >> five;
    return one + " / " + five;
}

long healthField(httplib::Client& client, const std::string& name) {
    const auto health = client.Get("/api/health");
    if (!health || health->status != 200) {
        return -1;
    }
    const auto at = health->body.find("\"" + name + "\":");
    return at == std::string::npos ? -1 : std::stol(health->body.substr(at + name.size() + 3));
}

// Posts runs from kPosters threads; each answers at once (202).
void postRuns(int port, uint32_t firstSeed, int count, const std::string& score,
              const std::atomic<bool>* stop = nullptr) {
    std::vector<std::thread> posters;
    for (int t = 0; t < kPosters; ++t) {
        posters.emplace_back([=] {
            httplib::Client client("127.0.0.1", port);
            client.set_tcp_nodelay(true);
            for (int i = t; i < count && !(stop && *stop); i += kPosters) {
                const std::string name = "B" + std::to_string(firstSeed + static_cast<uint32_t>(i));
                client.Post(("/api/runs?name=" + name + "&score=" + score).c_str(),
                            runFile(firstSeed + static_cast<uint32_t>(i)), "text/plain");
            }
        });
    }
    for (auto& poster : posters) {
        poster.join();
    }
}

Figures measure(const std::vector<std::string>& database, const Settings& settings,
                const std::filesystem::path& log) {
    Figures figures;
    ServerProcess server({"--database", database[0], "--requests-per-minute", "0",
                          "--posts-per-minute", "0", "--queued-per-address", "100000",
                          "--runs-per-address-a-day", "100000", "--connections-per-address", "0",
                          "--verify-wait", "0"},
                         log);
    if (server.port() == 0) {
        std::cerr << "server_bench: the server did not start (see " << log << ")\n";
        return figures;
    }
    const std::string score = kestrada::session::replayRecording(runFile(1)).score.value_or("0");
    httplib::Client client("127.0.0.1", server.port());

    // Verified runs a second: all posted at once, timed until the queue is empty.
    const auto start = Clock::now();
    postRuns(server.port(), 1, settings.runs, score);
    while (healthField(client, "queued") != 0 && Clock::now() - start < std::chrono::seconds(300)) {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    const double elapsed = std::chrono::duration<double>(Clock::now() - start).count();
    figures.verified = static_cast<int>(healthField(client, "verified"));
    figures.runsPerSecond = figures.verified / elapsed;

    // Board reads while more runs are being verified.
    std::atomic<bool> stop{false};
    std::thread verifying([&] { postRuns(server.port(), 100000, 1000000, score, &stop); });
    std::mutex mutex;
    std::vector<double> latencies;
    std::vector<std::thread> readers;
    const auto end = Clock::now() + std::chrono::seconds(settings.seconds);
    for (int r = 0; r < settings.readers; ++r) {
        readers.emplace_back([&] {
            httplib::Client reader("127.0.0.1", server.port());
            reader.set_tcp_nodelay(true);
            std::vector<double> mine;
            int errors = 0;
            while (Clock::now() < end) {
                const auto before = Clock::now();
                const auto board = reader.Get("/api/boards/all?limit=10");
                mine.push_back(
                    std::chrono::duration<double, std::milli>(Clock::now() - before).count());
                errors += board && board->status == 200 ? 0 : 1;
            }
            std::lock_guard lock(mutex);
            latencies.insert(latencies.end(), mine.begin(), mine.end());
            figures.readErrors += errors;
        });
    }
    for (auto& reader : readers) {
        reader.join();
    }
    stop = true;
    verifying.join();
    std::sort(latencies.begin(), latencies.end());
    if (!latencies.empty()) {
        figures.readsPerSecond = static_cast<double>(latencies.size()) / settings.seconds;
        figures.p50Ms = latencies[latencies.size() / 2];
        figures.p99Ms = latencies[latencies.size() * 99 / 100];
    }
    return figures;
}

} // namespace

int main(int argc, char** argv) {
    Settings settings;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if ((arg == "--runs" || arg == "--seconds" || arg == "--readers") && i + 1 < argc) {
            const int value = std::atoi(argv[++i]);
            (arg == "--runs"      ? settings.runs
             : arg == "--seconds" ? settings.seconds
                                  : settings.readers) = value;
        } else if (arg == "sqlite" || arg == "postgresql") {
            settings.databases.push_back(arg);
        } else {
            std::cerr << "usage: server_bench [--runs N] [--seconds S] [--readers R] [sqlite] "
                         "[postgresql]\n";
            return 2;
        }
    }
    if (settings.databases.empty()) {
        settings.databases = {"sqlite", "postgresql"};
    }
    const kestrada::testing::ScratchDir scratch;
    std::printf("load average (1 / 5 min) before: %s\n", loadAverage().c_str());
    std::printf("| database | verified 10-minute runs a second | board reads a second while "
                "verifying | p50 | p99 | failed reads |\n|---|---|---|---|---|---|\n");
    bool goals = true;
    for (const std::string& kind : settings.databases) {
        std::optional<kestrada::testing::PostgresCluster> cluster;
        std::string address = "sqlite:" + (scratch.path() / "bench.sqlite").string();
        if (kind == "postgresql") {
            cluster.emplace();
            if (!cluster->failure().empty()) {
                std::printf("| PostgreSQL | SKIP: %s | | | | |\n", cluster->failure().c_str());
                continue;
            }
            address = "postgresql:" + cluster->freshDatabase();
        }
        const Figures f = measure({address}, settings, scratch.path() / (kind + ".log"));
        std::printf("| %s | %.0f (%d runs) | %.0f | %.2f ms | %.2f ms | %d |\n",
                    kind == "sqlite" ? "SQLite" : "PostgreSQL", f.runsPerSecond, f.verified,
                    f.readsPerSecond, f.p50Ms, f.p99Ms, f.readErrors);
        goals = goals && f.runsPerSecond >= 100 && f.readsPerSecond >= 2000 && f.p99Ms <= 20;
    }
    std::printf("load average (1 / 5 min) after: %s\n", loadAverage().c_str());
    std::printf("goals (>= 100 runs/s, >= 2000 reads/s, p99 <= 20 ms): %s\n",
                goals ? "met" : "missed");
    return goals ? 0 : 1;
}
