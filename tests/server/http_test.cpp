// SPDX-License-Identifier: GPL-3.0-or-later
// The HTTP suite: a real kestrada-server on SQLite, spoken to over
// loopback as the game and a hostile client would.
#include "server_process.h"
#include "testing/json_field.h"
#include "testing/test_game.h"

#include <cstdio>
#include <fstream>
#include <gtest/gtest.h>
#include <httplib.h>
#include <sys/socket.h>
#include <unistd.h>
#include <vector>

namespace kestrada::testing {
namespace {

std::string runFile(uint32_t seed, const std::string& events) {
    return std::string("# kestrada ") + KESTRADA_VERSION + " seed " + std::to_string(seed) +
           " high \"0\"\n" + events;
}

// The score the headless program gives for the file, played to its crash.
std::string headlessScore(const std::filesystem::path& folder, const std::string& file) {
    const auto path = folder / "run.txt";
    std::ofstream(path) << file;
    const std::string command = "QT_QPA_PLATFORM=offscreen " +
                                std::string(KESTRADA_HEADLESS_PROGRAM) + " --headless --input " +
                                path.string() + " --slots 20000";
    std::FILE* out = popen(command.c_str(), "r");
    char line[256] = {};
    const bool read = std::fgets(line, sizeof line, out) != nullptr;
    pclose(out);
    const std::string text = read ? line : "";
    const auto at = text.find(" score=");
    return at == std::string::npos ? "" : text.substr(at + 7, text.find(' ', at + 7) - at - 7);
}

class HttpApi : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        scratch_ = new ScratchDir;
        server_ =
            new ServerProcess({"--database", "sqlite:" + (scratch_->path() / "db.sqlite").string(),
                               "--requests-per-minute", "0", "--posts-per-minute", "0"},
                              scratch_->path() / "server.log");
    }
    static void TearDownTestSuite() {
        delete server_;
        delete scratch_;
    }
    void SetUp() override { ASSERT_NE(server_->port(), 0) << "the server did not start"; }

    httplib::Client client() const {
        httplib::Client c("127.0.0.1", server_->port());
        c.set_read_timeout(30);
        return c;
    }
    httplib::Result post(const std::string& name, const std::string& score, const std::string& file,
                         const std::string& extra = "") const {
        return client().Post(("/api/runs?name=" + name + "&score=" + score + extra).c_str(), file,
                             "text/plain");
    }

    static ScratchDir* scratch_;
    static ServerProcess* server_;
};
ScratchDir* HttpApi::scratch_ = nullptr;
ServerProcess* HttpApi::server_ = nullptr;

TEST_F(HttpApi, ARunIsVerifiedWithTheHeadlessScoreAndAHigherClaimIsRejected) {
    const std::string file = runFile(42, "1 down Up\n9 down Left\n14 up Left\n");
    const std::string score = headlessScore(scratch_->path(), file);
    ASSERT_FALSE(score.empty());
    const auto good = post("Ann", score, file);
    ASSERT_TRUE(good);
    EXPECT_EQ(good->status, 201) << good->body;
    EXPECT_EQ(jsonField(good->body, "status"), "\"verified\"");
    EXPECT_EQ(jsonField(good->body, "score"), score);
    const std::string id = jsonField(good->body, "id");
    EXPECT_EQ(good->get_header_value("Location"), "/api/runs/" + id);

    // The same file under a higher claim: answered from its first replay, never kept twice.
    const auto higher = post("Ann", std::to_string(std::stoll(score) + 1), file);
    ASSERT_TRUE(higher);
    EXPECT_EQ(higher->status, 422);
    EXPECT_EQ(jsonField(higher->body, "error"), "\"this run replays to " + score + "\"");
    EXPECT_EQ(higher->get_header_value("Location"), "/api/runs/" + id);

    const auto again = post("Someone", score, file);
    ASSERT_TRUE(again);
    EXPECT_EQ(again->status, 200);
    EXPECT_EQ(jsonField(again->body, "id"), id);
    EXPECT_EQ(jsonField(again->body, "name"), "\"Ann\"");

    // A wrong first claim, then the replay's own score: taken from the name that sent it.
    const std::string other = runFile(43, "1 down Up\n9 down Left\n14 up Left\n");
    const std::string otherScore = headlessScore(scratch_->path(), other);
    const auto wrong = post("Bo", std::to_string(std::stoll(otherScore) + 1), other);
    EXPECT_EQ(jsonField(wrong->body, "status"), "\"rejected\"");
    EXPECT_EQ(post("Cy", otherScore, other)->status, 409);
    const auto honest = post("Bo", otherScore, other);
    EXPECT_EQ(honest->status, 201);
    EXPECT_EQ(jsonField(honest->body, "status"), "\"verified\"");

    const auto run = client().Get(("/api/runs/" + id).c_str());
    ASSERT_TRUE(run);
    EXPECT_EQ(jsonField(run->body, "claimed"), score);
    EXPECT_EQ(client().Get("/api/runs/999999")->status, 404);
}

TEST_F(HttpApi, BodiesThatCouldFloodTheServerAreRefusedBeforeTheyAreRead) {
    const std::string head = "POST /api/runs?name=Ann&score=1 HTTP/1.1\r\nHost: 127.0.0.1\r\n";
    // Answered from the headers alone: none of the 2 MiB is ever sent.
    EXPECT_EQ(rawExchange(server_->port(), head + "Content-Length: 2097152\r\n\r\n"), 413);
    const std::string run = runFile(1, "1 down Up\n");
    char size[16];
    std::snprintf(size, sizeof size, "%zx", run.size());
    EXPECT_EQ(rawExchange(server_->port(), head + "Transfer-Encoding: chunked\r\n\r\n" + size +
                                               "\r\n" + run + "\r\n0\r\n\r\n"),
              400);
    EXPECT_EQ(rawExchange(server_->port(),
                          head + "Content-Encoding: gzip\r\nContent-Length: 4\r\n\r\nabcd"),
              415);
    EXPECT_EQ(rawExchange(server_->port(), head + "\r\n" + runFile(1, "1 down Up\n")), 411);
    EXPECT_EQ(client().Get("/api/health")->status, 200);
}

TEST_F(HttpApi, BadRunsAndNamesAreRefusedWithTheReason) {
    const auto far = post("Ann", "1", runFile(1, "1 down Up\n4000000000 down Left\n"));
    EXPECT_EQ(far->status, 400);
    EXPECT_EQ(jsonField(far->body, "error"), "\"replay too long\"");
    const auto garbled = post("Ann", "1", runFile(1, "1 down Up\n2 dwn Left\n"));
    EXPECT_EQ(garbled->status, 400);
    EXPECT_TRUE(jsonField(garbled->body, "error").starts_with("\"input:3: ")) << garbled->body;
    const auto override = post("Ann%E2%80%AEnnA", "1", runFile(1, "1 down Up\n"));
    EXPECT_EQ(override->status, 400);
    EXPECT_EQ(jsonField(override->body, "error"),
              "\"name: a name cannot hold text-direction marks\"");
    EXPECT_EQ(post("Ann", "1", "# kestrada 0.1 seed 1 high \"0\"\n1 down Up\n")->status, 422);
    EXPECT_EQ(post("Ann", "lots", runFile(1, "1 down Up\n"))->status, 400);
}

// The page, without Unicode data of its own, asks whether a name would be
// taken and under which key, and hears what a run under it would.
TEST_F(HttpApi, ANameIsCheckedAsARunWouldTakeIt) {
    const auto chinese = client().Get("/api/names/check?name=%E6%9D%8E%E6%98%8E");
    ASSERT_EQ(chinese->status, 200);
    EXPECT_EQ(jsonField(chinese->body, "taken"), "true");
    EXPECT_EQ(jsonField(chinese->body, "key"), "\"李明\"");
    const auto shouted = client().Get("/api/names/check?name=%20ANN%20%20BO");
    EXPECT_EQ(jsonField(shouted->body, "name"), "\"ANN BO\"");
    EXPECT_EQ(jsonField(shouted->body, "key"), "\"annbo\"");
    const auto mixed = client().Get("/api/names/check?name=P%D0%B0ypal");
    ASSERT_EQ(mixed->status, 200);
    EXPECT_EQ(jsonField(mixed->body, "taken"), "false");
    EXPECT_EQ(jsonField(mixed->body, "reason"),
              "\"a name cannot mix letters of different scripts\"");
    const auto sent = post("P%D0%B0ypal", "1", runFile(1, "1 down Up\n"));
    EXPECT_EQ(sent->status, 400);
    EXPECT_EQ(jsonField(sent->body, "error"),
              "\"name: a name cannot mix letters of different scripts\"");
}

TEST_F(HttpApi, BoardParametersOutsideTheirRangeAreRefused) {
    EXPECT_EQ(client().Get("/api/boards/all?around=p103&limit=100")->status, 200);
    EXPECT_EQ(client().Get("/api/boards/all?limit=101")->status, 400);
    EXPECT_EQ(client().Get("/api/boards/all?limit=0")->status, 400);
    EXPECT_EQ(client().Get("/api/boards/all?offset=-1")->status, 400);
    EXPECT_EQ(client().Get("/api/boards/road?date=2026-02-30")->status, 400);
    // The operator's view counts them by route and status.
    const auto metrics = client().Get("/metrics");
    ASSERT_EQ(metrics->status, 200);
    EXPECT_NE(metrics->body.find(
                  "kestrada_http_requests_total{route=\"/api/boards/all\",status=\"400\"} 3"),
              std::string::npos)
        << metrics->body;
}

TEST_F(HttpApi, TodaysRoadTakesOnlyItsOwnSeed) {
    const auto road = client().Get("/api/road");
    ASSERT_EQ(road->status, 200);
    const auto seed = static_cast<uint32_t>(std::stoul(jsonField(road->body, "seed")));
    const std::string today = "&road=" + jsonField(road->body, "date").substr(1, 10);
    EXPECT_EQ(jsonField(road->body, "grace_hours"), "6");
    EXPECT_TRUE(jsonField(road->body, "closes").ends_with("T06:00:00Z\"")) << road->body;
    const std::string other = runFile(seed + 1, "1 down Up\n");
    EXPECT_EQ(post("Rex", headlessScore(scratch_->path(), other), other, today)->status, 422);
    const std::string mine = runFile(seed, "1 down Up\n");
    const auto posted = post("Rue", headlessScore(scratch_->path(), mine), mine, today);
    EXPECT_EQ(jsonField(posted->body, "status"), "\"verified\"");
}

TEST(HttpLimits, AnAddressPastItsRequestsAMinuteIsAskedToWait) {
    const ScratchDir scratch;
    ServerProcess server({"--database", "sqlite:" + (scratch.path() / "db.sqlite").string(),
                          "--requests-per-minute", "5"},
                         scratch.path() / "server.log");
    ASSERT_NE(server.port(), 0);
    httplib::Client client("127.0.0.1", server.port());
    // Twelve requests span at most one turn of the minute: some are refused.
    // The health check is never counted.
    int refused = 0;
    for (int i = 0; i < 12; ++i) {
        refused += client.Get("/api/boards/all")->status == 429 ? 1 : 0;
        EXPECT_EQ(client.Get("/api/health")->status, 200);
    }
    EXPECT_GE(refused, 2);
    EXPECT_LE(refused, 7);
}

// One line a request on standard output, for journald: who, what and how
// it went, without the query (names stay out of the log).
TEST(HttpAccessLog, EachRequestIsALineOnStandardOutput) {
    const ScratchDir scratch;
    ServerProcess server({"--database", "sqlite:" + (scratch.path() / "db.sqlite").string()},
                         scratch.path() / "server.log", true);
    ASSERT_NE(server.port(), 0);
    EXPECT_EQ(getFrom("127.0.0.2", server.port(), "/api/boards/all?around=Zed").status, 200);
    const std::string line = server.outputLine();
    EXPECT_NE(line.find(" 127.0.0.2 GET /api/boards/all 200 14 "), std::string::npos) << line;
    EXPECT_TRUE(line.ends_with("ms")) << line;
    EXPECT_EQ(line.find("Zed"), std::string::npos) << line;
}

// A browser keeps a few connections open between requests. The server
// lets an idle one go after its header deadline, and its client must see
// that even when a run was replayed meanwhile: a connection still open to
// the client would take its next request and never answer it.
TEST(HttpKeepAlive, IdleConnectionsAreClosedForTheirClientAfterARunIsReplayed) {
    const ScratchDir scratch;
    ServerProcess server(
        {"--database", "sqlite:" + (scratch.path() / "db.sqlite").string(), "--workers", "1"},
        scratch.path() / "server.log");
    ASSERT_NE(server.port(), 0);
    std::vector<int> kept;
    for (int i = 0; i < 3; ++i) {
        const int fd = connectFrom("127.0.0.1", server.port());
        ASSERT_GE(fd, 0);
        kept.push_back(fd);
        const std::string get = "GET /api/boards/all HTTP/1.1\r\nHost: k\r\n\r\n";
        send(fd, get.data(), get.size(), MSG_NOSIGNAL);
        EXPECT_EQ(readAnswer(fd, 10000).status, 200);
    }
    const auto posted = postFrom("127.0.0.1", server.port(), "/api/runs?name=Ann&score=1",
                                 runFile(42, "1 down Up\n9 down Left\n14 up Left\n"), "");
    const std::string id = jsonField(posted.body, "id");
    ASSERT_FALSE(id.empty()) << posted.head;
    const bool replayed = eventually(
        [&] {
            const auto run = getFrom("127.0.0.1", server.port(), "/api/runs/" + id);
            return jsonField(run.body, "status") != "\"queued\"";
        },
        std::chrono::seconds(30));
    ASSERT_TRUE(replayed);
    bool leftOpen = false;
    for (const int fd : kept) {
        leftOpen = leftOpen || !closedWithin(fd, 20000);
        close(fd);
    }
    EXPECT_FALSE(leftOpen) << "a connection the server let go of is still open to its client";
}

} // namespace
} // namespace kestrada::testing
