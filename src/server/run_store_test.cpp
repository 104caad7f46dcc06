// SPDX-License-Identifier: GPL-3.0-or-later
// The storage suite: the same cases against SQLite and against a real
// PostgreSQL the test starts itself (skipped, saying why, where it cannot).
#include "postgres_cluster.h"
#include "server/database_clock.h"
#include "server/road_runs.h"
#include "server/run_store.h"
#include "testing/test_game.h"

#include <atomic>
#include <functional>
#include <gtest/gtest.h>
#include <random>
#include <thread>
#include <vector>

namespace kestrada::server {
namespace {

// 2026-12-07 12:00 UTC.
constexpr int64_t kNoon = 1796644800000;
constexpr int64_t kLease = 60000;

testing::PostgresCluster& cluster() {
    static testing::PostgresCluster shared;
    return shared;
}

class Database {
  public:
    explicit Database(Dialect dialect) {
        if (dialect == Dialect::Sqlite) {
            address_ = {Dialect::Sqlite, (scratch_.path() / "runs.sqlite").string()};
        } else if (cluster().failure().empty()) {
            address_ = {Dialect::Postgres, cluster().freshDatabase()};
        }
    }
    bool usable() const { return !address_.where.empty(); }
    RunStore& store() {
        if (!store_) {
            pool_ = std::make_unique<ConnectionPool>([this] { return openConnection(address_); });
            RunStore::migrate(*pool_->borrow());
            store_ = std::make_unique<RunStore>(*pool_);
        }
        return *store_;
    }
    // The server started again on the database as an older one left it.
    void startAgainFrom(int64_t version) {
        auto db = pool_->borrow();
        db->query("UPDATE schema_version SET version = $1", {version});
        RunStore::migrate(*db);
    }
    ConnectionPool& pool() {
        store();
        return *pool_;
    }

  private:
    testing::ScratchDir scratch_;
    DatabaseAddress address_;
    std::unique_ptr<ConnectionPool> pool_;
    std::unique_ptr<RunStore> store_;
};

class RunStoreTest : public ::testing::TestWithParam<Dialect> {
  protected:
    void SetUp() override {
        if (!database_.usable()) {
            GTEST_SKIP() << "PostgreSQL: " << cluster().failure();
        }
    }

    RunStore& store() { return database_.store(); }
    void startAgainFrom(int64_t version) { database_.startAgainFrom(version); }

    int64_t submit(const std::string& name, int64_t claimed, const std::string& file,
                   int64_t when = kNoon, uint32_t seed = 1) {
        return store().submit({file, name, name, claimed, seed, "# " + file, when, ""}).id;
    }

    // Submitted, claimed and verified with its claim as its score.
    int64_t verified(const std::string& name, int64_t score, const std::string& file,
                     int64_t when = kNoon, uint32_t seed = 1, unsigned games = 1) {
        const int64_t id = submit(name, score, file, when, seed);
        const auto job = store().claim("me", when, kLease);
        EXPECT_TRUE(job && job->id == id);
        EXPECT_TRUE(store().finish(id, "me", {true, score, "", games, seed}));
        return id;
    }

    std::vector<std::string> boardText(const std::string& board, int64_t limit = 100,
                                       int64_t offset = 0) {
        std::vector<std::string> rows;
        for (const BoardRow& row : store().board(board, limit, offset)) {
            rows.push_back(std::to_string(row.rank) + " " + row.name + " " +
                           std::to_string(row.score));
        }
        return rows;
    }

    Database database_{GetParam()};
};

TEST_P(RunStoreTest, BoardsKeepOneBestPerNameATieGoingToTheEarlierRun) {
    verified("ann", 500, "a1");
    verified("ann", 700, "a2", kNoon + 1000);
    verified("bob", 700, "b1", kNoon + 2000);
    verified("ann", 600, "a3", kNoon + 3000);
    verified("cy", 300, "c1");
    verified("dee", 700, "d1", kNoon + 1000); // the same moment as ann's: the earlier run wins
    const int64_t rejected = submit("eve", 900, "e1");
    ASSERT_TRUE(store().claim("me", kNoon, kLease));
    store().finish(rejected, "me", {false, 899, "replays to 899", 1, 1});

    EXPECT_EQ(boardText(kAllBoard),
              (std::vector<std::string>{"1 ann 700", "2 dee 700", "3 bob 700", "4 cy 300"}));
    EXPECT_EQ(boardText(kAllBoard, 2, 1), (std::vector<std::string>{"2 dee 700", "3 bob 700"}));
    EXPECT_EQ(store().run(rejected)->score, 899);
    EXPECT_EQ(store().run(rejected)->rank, std::nullopt);
    EXPECT_EQ(store().run(1)->rank, std::nullopt); // ann's, beaten by her own later run
    EXPECT_EQ(store().run(2)->rank, 1);
}

TEST_P(RunStoreTest, AroundGivesTheNameAndFourEitherSide) {
    for (int i = 1; i <= 12; ++i) {
        verified("p" + std::to_string(i), 1000 - i, "f" + std::to_string(i));
    }
    const auto ranksAround = [&](const std::string& name) {
        std::vector<int64_t> ranks;
        for (const BoardRow& row : store().around(kAllBoard, name)) {
            ranks.push_back(row.rank);
        }
        return ranks;
    };
    EXPECT_EQ(ranksAround("p6"), (std::vector<int64_t>{2, 3, 4, 5, 6, 7, 8, 9, 10}));
    EXPECT_EQ(ranksAround("p1"), (std::vector<int64_t>{1, 2, 3, 4, 5}));
    EXPECT_EQ(ranksAround("p12"), (std::vector<int64_t>{8, 9, 10, 11, 12}));
    EXPECT_TRUE(ranksAround("nobody").empty());
}

TEST_P(RunStoreTest, AFileIsKeptOnceAndTheQueueCapsCountByClient) {
    const auto send = [&](const std::string& file, int64_t claimed, const std::string& client) {
        return store().submit({file, "ann", "ann", claimed, 1, "# " + file, kNoon, ""},
                              {client, 2, 3, 3});
    };
    const Submitted first = send("f", 500, "a");
    EXPECT_TRUE(first.created);
    const Submitted again = send("f", 500, "b");
    EXPECT_EQ(again.id, first.id);
    EXPECT_FALSE(again.created);
    EXPECT_EQ(again.refused, Submitted::Refused::No);
    EXPECT_EQ(send("f", 501, "b").refused, Submitted::Refused::OtherClaim);
    EXPECT_EQ(send("f", 501, "b").id, first.id);
    EXPECT_TRUE(send("g", 1, "a").created);
    EXPECT_EQ(send("h", 1, "a").refused, Submitted::Refused::ClientQueueFull);
    EXPECT_TRUE(send("h", 1, "b").created);
    EXPECT_EQ(send("i", 1, "c").refused, Submitted::Refused::QueueFull);
    // Verified runs leave the queue, not the day's count.
    ASSERT_TRUE(store().claim("me", kNoon, kLease));
    ASSERT_TRUE(store().finish(first.id, "me", {true, 500, "", 1, 1}));
    EXPECT_TRUE(send("i", 1, "a").created);
    EXPECT_EQ(send("j", 1, "a").refused, Submitted::Refused::ClientDayFull);
    EXPECT_EQ(store().health().queued, 3);
}

// Servers on one database, or threads of one, taking the same new file at once.
TEST_P(RunStoreTest, FirstClaimsOfOneFileAtOnceKeepOneRow) {
    constexpr int kSenders = 8;
    std::atomic<bool> go{false};
    std::vector<Submitted> results(kSenders);
    std::vector<std::thread> senders;
    RunStore& shared = store();
    // A connection each, open before they start: all held at once, then given back.
    std::function<void(int)> hold = [&](int left) {
        if (left > 0) {
            const auto lease = database_.pool().borrow();
            hold(left - 1);
        }
    };
    hold(kSenders);
    for (int i = 0; i < kSenders; ++i) {
        senders.emplace_back([&, i] {
            while (!go) {
                std::this_thread::yield();
            }
            results[i] = shared.submit({"f", "ann", "ann", 100 + i, 1, "# f", kNoon, ""});
        });
    }
    go = true;
    for (auto& sender : senders) {
        sender.join();
    }
    int created = 0;
    for (const Submitted& result : results) {
        created += result.created ? 1 : 0;
        EXPECT_EQ(result.id, results[0].id);
    }
    EXPECT_EQ(created, 1);
    EXPECT_EQ(store().health().queued, 1);
    // Nor can any other way of writing store the file twice.
    EXPECT_THROW(database_.pool().borrow()->query(
                     "INSERT INTO runs (sha256, name, name_key, claimed, seed, recording,"
                     " submitted_ms, day) VALUES ('f', 'bo', 'bo', 99, 1, '# f', 0, 'd')"),
                 DatabaseError);
}

// A wrong first claim is judged by the replay: the replayed score, claimed
// later by the name that sent the file, is taken; nothing else is.
TEST_P(RunStoreTest, ARejectedRunIsTakenUnderItsReplayedScoreByItsName) {
    const int64_t id = submit("ann", 501, "f");
    ASSERT_TRUE(store().claim("me", kNoon, kLease));
    ASSERT_TRUE(store().finish(id, "me", {false, 500, "replays to 500", 1, 1}));
    EXPECT_FALSE(store().takeClaim(id, "Bob", "bob", 500));
    EXPECT_FALSE(store().takeClaim(id, "Ann", "ann", 499));
    EXPECT_TRUE(boardText(kAllBoard).empty());
    EXPECT_TRUE(store().takeClaim(id, "Ann", "ann", 500));
    EXPECT_EQ(boardText(kAllBoard), std::vector<std::string>{"1 Ann 500"});
    EXPECT_EQ(store().run(id)->status, "verified");
    EXPECT_EQ(store().run(id)->claimed, 500);
}

TEST_P(RunStoreTest, TheDatabasesClockIsThisMachinesToWithinASecond) {
    const auto local = std::chrono::duration_cast<std::chrono::milliseconds>(
                           std::chrono::system_clock::now().time_since_epoch())
                           .count();
    EXPECT_NEAR(static_cast<double>(store().databaseNowMs()), static_cast<double>(local), 1000.0);
}

// Two servers on one database, one with a clock two leases fast: both go
// by the database's clock, so a run one of them holds is not taken by the other.
TEST_P(RunStoreTest, ALeaseHoldsAgainstAServerWhoseClockIsFast) {
    submit("ann", 1, "f", systemMs());
    DatabaseClock right;
    DatabaseClock fast([] { return systemMs() + 2 * kLease; });
    right.sync(store());
    fast.sync(store());
    ASSERT_TRUE(store().claim("right", right.nowMs(), kLease));
    EXPECT_FALSE(store().claim("fast", fast.nowMs(), kLease));
}

TEST_P(RunStoreTest, ARunIsClaimedOnceUntilItsLeaseExpires) {
    const int64_t id = submit("ann", 500, "f");
    const auto first = store().claim("a", kNoon, kLease);
    ASSERT_TRUE(first);
    EXPECT_EQ(first->id, id);
    EXPECT_EQ(first->claimed, 500);
    EXPECT_FALSE(store().claim("b", kNoon + kLease - 1, kLease));
    // Verifier a died: its lease runs out and b takes the run over.
    ASSERT_TRUE(store().claim("b", kNoon + kLease, kLease));
    EXPECT_FALSE(store().finish(id, "a", {true, 500, "", 1, 1}));
    EXPECT_TRUE(store().finish(id, "b", {true, 500, "", 1, 1}));
    EXPECT_FALSE(store().finish(id, "b", {true, 500, "", 1, 1}));
    EXPECT_FALSE(store().claim("c", kNoon + 10 * kLease, kLease));
    EXPECT_EQ(store().run(id)->status, "verified");
    EXPECT_EQ(store().health().queued, 0);
}

TEST_P(RunStoreTest, TheThirdCrashRejectsTheRun) {
    const int64_t id = submit("ann", 500, "f");
    for (int crash = 1; crash <= 3; ++crash) {
        ASSERT_TRUE(store().claim("v", kNoon, kLease)) << crash;
        EXPECT_EQ(store().crashed(id, "v"), crash == 3);
    }
    EXPECT_FALSE(store().claim("v", kNoon, kLease));
    EXPECT_EQ(store().run(id)->status, "rejected");
    EXPECT_EQ(store().run(id)->reason, "the verifier crashed three times");
}

TEST_P(RunStoreTest, TheRoadBoardTakesOnlyOneGameOfTheDaysSeed) {
    EXPECT_EQ(store().road("2026-12-07", 77), 77u);
    EXPECT_EQ(store().road("2026-12-07", 88), 77u);
    verified("ann", 500, "a", kNoon, 77);
    verified("bob", 900, "b", kNoon, 78);
    verified("cy", 800, "c", kNoon, 77, 2);
    verified("dee", 400, "d", kNoon + 86400000, 77); // the next day's run
    EXPECT_EQ(boardText(roadBoard("2026-12-07")), (std::vector<std::string>{"1 ann 500"}));
    EXPECT_EQ(boardText(kAllBoard).size(), 4u);
}

// A road game sent again after an outage, or ended after midnight, is its
// own day's until six hours into the next.
TEST_P(RunStoreTest, ARoadRunIsJudgedByItsRoadsDayAndGrace) {
    store().road("2026-12-07", 77);
    store().road("2026-12-08", 99);
    const int64_t tenPast = kNoon + (12 * 60 + 10) * 60000; // 2026-12-08 00:10
    EXPECT_EQ(roadRunRefusal(store(), "2026-12-07", 77, tenPast), std::nullopt);
    EXPECT_EQ(roadRunRefusal(store(), "2026-12-07", 99, tenPast),
              "not a run of the road of 2026-12-07");
    EXPECT_EQ(roadRunRefusal(store(), "2026-12-07", 77, kNoon + 18 * 3600000 + 60000),
              "the road of 2026-12-07 closed at 2026-12-08T06:00:00Z");
    EXPECT_EQ(roadRunRefusal(store(), "2026-12-06", 77, kNoon - 7 * 3600000),
              "not a run of the road of 2026-12-06"); // a day no one was given a road
    const int64_t id = store().submit({"f", "ann", "ann", 500, 77, "#", tenPast, "2026-12-07"}).id;
    ASSERT_TRUE(store().claim("me", tenPast, kLease));
    EXPECT_TRUE(store().finish(id, "me", {true, 500, "", 1, 77}));
    EXPECT_EQ(boardText(roadBoard("2026-12-07")), (std::vector<std::string>{"1 ann 500"}));
    EXPECT_TRUE(boardText(roadBoard("2026-12-08")).empty());
}

TEST_P(RunStoreTest, ARemovedRunLeavesEveryBoardAndTheNamesNextBestReturns) {
    store().road("2026-12-07", 5);
    verified("ann", 500, "a1", kNoon, 5);
    const int64_t best = verified("ann", 700, "a2", kNoon, 5);
    verified("bob", 600, "b1");
    EXPECT_TRUE(store().remove(best));
    EXPECT_FALSE(store().remove(999));
    EXPECT_EQ(boardText(kAllBoard), (std::vector<std::string>{"1 bob 600", "2 ann 500"}));
    EXPECT_EQ(boardText(roadBoard("2026-12-07")), (std::vector<std::string>{"1 ann 500"}));
    EXPECT_TRUE(store().run(best)->removed);
    EXPECT_EQ(store().run(best)->status, "verified");
}

// An older server folded names its own way: on start each run's name is
// keyed as names are checked now, and every board keeps one best per name.
TEST_P(RunStoreTest, AnOlderDatabasesNamesAreKeyedAgainOnStart) {
    store().road("2026-12-07", 77);
    const int64_t beaten = verified("Ann", 500, "a1", kNoon, 77);
    verified("ANN", 700, "a2", kNoon + 1000, 77);
    verified("Bo", 300, "b1");
    ASSERT_EQ(boardText(kAllBoard).size(), 3u); // keyed as written here
    startAgainFrom(3);
    EXPECT_EQ(boardText(kAllBoard), (std::vector<std::string>{"1 ANN 700", "2 Bo 300"}));
    EXPECT_EQ(boardText(roadBoard("2026-12-07")), (std::vector<std::string>{"1 ANN 700"}));
    EXPECT_EQ(store().run(beaten)->rank, std::nullopt);
}

INSTANTIATE_TEST_SUITE_P(Databases, RunStoreTest,
                         ::testing::Values(Dialect::Sqlite, Dialect::Postgres),
                         [](const auto& info) {
                             return info.param == Dialect::Sqlite ? "SQLite" : "PostgreSQL";
                         });

// The same runs, in the same order, give the same boards on both databases.
TEST(RunStoreDatabases, TheSameRunsGiveTheSameBoards) {
    Database sqlite(Dialect::Sqlite);
    Database postgres(Dialect::Postgres);
    if (!postgres.usable()) {
        GTEST_SKIP() << "PostgreSQL: " << cluster().failure();
    }
    std::mt19937 random(7);
    for (Database* database : {&sqlite, &postgres}) {
        random.seed(7);
        RunStore& store = database->store();
        for (int i = 0; i < 150; ++i) {
            const std::string name = "n" + std::to_string(random() % 40);
            const int64_t score = random() % 20 * 50;
            const int64_t when = kNoon + static_cast<int64_t>(random() % 5) * 1000;
            const int64_t id =
                store.submit({std::to_string(i), name, name, score, 1, "#", when, ""}).id;
            store.claim("me", when, kLease);
            store.finish(id, "me", {random() % 4 != 0, score, "", 1, 1});
        }
    }
    const auto rows = [](RunStore& store) {
        std::vector<std::tuple<int64_t, std::string, int64_t, int64_t>> all;
        for (const BoardRow& row : store.board(kAllBoard, 100, 0)) {
            all.emplace_back(row.rank, row.name, row.score, row.run);
        }
        return all;
    };
    const auto fromSqlite = rows(sqlite.store());
    EXPECT_GT(fromSqlite.size(), 20u);
    EXPECT_EQ(fromSqlite, rows(postgres.store()));
}

} // namespace
} // namespace kestrada::server
