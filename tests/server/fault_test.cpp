// SPDX-License-Identifier: GPL-3.0-or-later
// Faults: the server killed in the middle of a burst, PostgreSQL stopped
// under load, two servers sharing one PostgreSQL. Every loop is bounded in
// count and in time, and all traffic stays on loopback.
#include "postgres_cluster.h"
#include "server_process.h"
#include "session/run_verification.h"
#include "testing/json_field.h"
#include "testing/test_game.h"

#include <atomic>
#include <csignal>
#include <gtest/gtest.h>
#include <httplib.h>
#include <map>
#include <mutex>
#include <regex>
#include <set>

namespace kestrada::testing {
namespace {

struct SentRun {
    std::string file;
    std::string score;
};

// Distinct runs, each with the score it replays to.
std::vector<SentRun> makeRuns(uint32_t firstSeed, int count, const std::string& events) {
    std::vector<SentRun> runs;
    for (int i = 0; i < count; ++i) {
        SentRun run;
        run.file = std::string("# kestrada ") + KESTRADA_VERSION + " seed " +
                   std::to_string(firstSeed + static_cast<uint32_t>(i)) + " high \"0\"\n" + events;
        run.score = session::replayRecording(run.file).score.value_or("?");
        runs.push_back(run);
    }
    return runs;
}

httplib::Result post(httplib::Client& client, const SentRun& run, const std::string& name) {
    return client.Post(("/api/runs?name=" + name + "&score=" + run.score).c_str(), run.file,
                       "text/plain");
}

std::string statusOf(httplib::Client& client, const std::string& id) {
    const auto run = client.Get(("/api/runs/" + id).c_str());
    return run && run->status == 200 ? jsonField(run->body, "status") : "";
}

TEST(ServerFaults, AKillInTheMiddleOfABurstLosesNoAcceptedRun) {
    const ScratchDir scratch;
    // Answered at once (202), the runs wait in the queue for the one worker.
    const std::vector<std::string> arguments{"--database",
                                             "sqlite:" + (scratch.path() / "db.sqlite").string(),
                                             "--workers",
                                             "1",
                                             "--lease",
                                             "1",
                                             "--requests-per-minute",
                                             "0",
                                             "--posts-per-minute",
                                             "0",
                                             "--verify-wait",
                                             "0"};
    auto server = std::make_unique<ServerProcess>(arguments, scratch.path() / "server.log");
    ASSERT_NE(server->port(), 0);
    // Standing still for 50 000 slots: each replay takes several milliseconds.
    const std::vector<SentRun> runs = makeRuns(1000, 40, "50000 menu mnuExit\n");
    std::mutex mutex;
    std::map<std::string, const SentRun*> accepted;
    std::vector<std::thread> senders;
    for (int t = 0; t < 4; ++t) {
        senders.emplace_back([&, t, port = server->port()] {
            httplib::Client client("127.0.0.1", port);
            client.set_tcp_nodelay(true);
            for (std::size_t i = static_cast<std::size_t>(t); i < runs.size(); i += 4) {
                const auto answer = post(client, runs[i], "K" + std::to_string(t));
                if (answer && (answer->status == 201 || answer->status == 202)) {
                    std::lock_guard lock(mutex);
                    accepted[jsonField(answer->body, "id")] = &runs[i];
                }
            }
        });
    }
    ASSERT_TRUE(eventually(
        [&] {
            std::lock_guard lock(mutex);
            return accepted.size() >= 12;
        },
        std::chrono::seconds(60)));
    server->kill9();
    for (auto& sender : senders) {
        sender.join();
    }
    // Some accepted runs were still waiting for their replay when it died.
    const std::string before = fileText(scratch.path() / "server.log");
    std::size_t replayed = 0;
    for (auto at = before.find(" verified"); at != std::string::npos;
         at = before.find(" verified", at + 1)) {
        ++replayed;
    }
    EXPECT_LT(replayed, accepted.size());
    server = std::make_unique<ServerProcess>(arguments, scratch.path() / "server.log");
    ASSERT_NE(server->port(), 0);
    httplib::Client client("127.0.0.1", server->port());
    for (const auto& [id, run] : accepted) {
        EXPECT_TRUE(eventually([&] { return statusOf(client, id) == "\"verified\""; },
                               std::chrono::seconds(30)))
            << "run " << id << " is " << statusOf(client, id);
        EXPECT_EQ(client.Get(("/api/runs/" + id + "/recording").c_str())->body, run->file);
    }
}

class PostgresFaults : public ::testing::Test {
  protected:
    void SetUp() override {
        if (!cluster_.failure().empty()) {
            GTEST_SKIP() << "PostgreSQL: " << cluster_.failure();
        }
        conninfo_ = cluster_.freshDatabase();
        ASSERT_FALSE(conninfo_.empty());
    }
    // Answered at once, so runs pile up in the queue and the workers race for them.
    ServerProcess start(const std::string& log) {
        return ServerProcess({"--database", "postgresql:" + conninfo_, "--workers", "2",
                              "--requests-per-minute", "0", "--posts-per-minute", "0",
                              "--queued-per-address", "1000", "--verify-wait", "0"},
                             scratch_.path() / log);
    }

    ScratchDir scratch_;
    PostgresCluster cluster_;
    std::string conninfo_;
};

TEST_F(PostgresFaults, AStoppedDatabaseIsAFaultNotAHangAndTheBoardsKeepTheirLastAnswer) {
    ServerProcess server = start("server.log");
    ASSERT_NE(server.port(), 0);
    httplib::Client client("127.0.0.1", server.port());
    const auto before = post(client, makeRuns(5000, 1, "1 down Up\n")[0], "Before");
    ASSERT_TRUE(before);
    const std::string id = jsonField(before->body, "id");
    ASSERT_TRUE(eventually([&] { return statusOf(client, id) == "\"verified\""; },
                           std::chrono::seconds(30)));
    ASSERT_TRUE(eventually(
        [&] { return client.Get("/api/boards/all")->body.find("Before") != std::string::npos; },
        std::chrono::seconds(5)));
    // Stopped, not shut down: no refusal, no answer, as a database gone from the network.
    ASSERT_TRUE(cluster_.signal(SIGSTOP));
    int quick = 0;
    for (int poll = 0; poll < 30; ++poll) {
        const Answer board = getFrom("127.0.0.2", server.port(), "/api/boards/all");
        EXPECT_EQ(board.status, 200);
        EXPECT_NE(board.body.find("\"name\":\"Before\""), std::string::npos) << board.body;
        quick += board.ms <= 200 ? 1 : 0;
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    EXPECT_GE(quick, 29);
    const Answer stale = getFrom("127.0.0.2", server.port(), "/api/boards/all");
    EXPECT_NE(stale.body.find("\"stale\":true"), std::string::npos);
    const SentRun run = makeRuns(6000, 1, "1 down Up\n")[0];
    const Answer refused = postFrom("127.0.0.3", server.port(),
                                    "/api/runs?name=During&score=" + run.score, run.file, "");
    EXPECT_EQ(refused.status, 503);
    EXPECT_NE(refused.head.find("Retry-After: "), std::string::npos);
    EXPECT_LE(refused.ms, 2500);
    ASSERT_TRUE(cluster_.signal(SIGCONT));
    EXPECT_TRUE(eventually(
        [&] {
            const auto health = client.Get("/api/health");
            return health && health->status == 200;
        },
        std::chrono::seconds(30)));
    const auto after = post(client, run, "After");
    ASSERT_TRUE(after);
    EXPECT_TRUE(after->status == 201 || after->status == 202) << after->body;
    // Fresh again once the database answers within the moment a board waits.
    EXPECT_TRUE(eventually(
        [&] {
            return getFrom("127.0.0.2", server.port(), "/api/boards/all").body.find("stale") ==
                   std::string::npos;
        },
        std::chrono::seconds(10)));
}

TEST_F(PostgresFaults, TwoServersOnOneDatabaseVerifyEachRunOnceAndShowTheSameBoards) {
    ServerProcess first = start("first.log");
    ServerProcess second = start("second.log");
    ASSERT_NE(first.port(), 0);
    ASSERT_NE(second.port(), 0);
    const std::vector<SentRun> runs = makeRuns(7000, 40, "1 down Up\n");
    std::vector<std::string> ids(runs.size());
    std::vector<std::thread> senders;
    for (int port : {first.port(), second.port()}) {
        senders.emplace_back([&, port] {
            httplib::Client client("127.0.0.1", port);
            client.set_connection_timeout(10);
            client.set_read_timeout(30);
            for (std::size_t i = port == first.port() ? 0 : 1; i < runs.size(); i += 2) {
                // Sent again after a failure, as the game does: the same file is one run.
                for (int attempt = 0; attempt < 5 && ids[i].empty(); ++attempt) {
                    const auto answer = post(client, runs[i], "N" + std::to_string(i % 7));
                    ids[i] = answer ? jsonField(answer->body, "id") : "";
                }
            }
        });
    }
    for (auto& sender : senders) {
        sender.join();
    }
    httplib::Client client("127.0.0.1", first.port());
    for (const std::string& id : ids) {
        ASSERT_FALSE(id.empty()) << "a run was never taken";
        EXPECT_TRUE(eventually([&] { return statusOf(client, id) == "\"verified\""; },
                               std::chrono::seconds(30)))
            << "run " << id;
    }
    std::map<std::string, int> replays;
    const std::regex replaying("replaying run ([0-9]+)");
    for (const char* log : {"first.log", "second.log"}) {
        const std::string text = fileText(scratch_.path() / log);
        for (std::sregex_iterator at(text.begin(), text.end(), replaying), end; at != end; ++at) {
            ++replays[(*at)[1]];
        }
    }
    EXPECT_EQ(replays.size(), runs.size());
    for (const auto& [id, times] : replays) {
        EXPECT_EQ(times, 1) << "run " << id;
    }
    // Each server keeps its answers for a moment: the same board once both are fresh.
    httplib::Client other("127.0.0.1", second.port());
    std::string board;
    const bool same = eventually(
        [&] {
            const auto mine = client.Get("/api/boards/all?limit=100");
            const auto theirs = other.Get("/api/boards/all?limit=100");
            board = mine ? mine->body : "";
            return mine && theirs && mine->body == theirs->body;
        },
        std::chrono::seconds(10));
    EXPECT_TRUE(same) << board;
    EXPECT_NE(board.find("\"rank\":7"), std::string::npos) << board;
}

} // namespace
} // namespace kestrada::testing
