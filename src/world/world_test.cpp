// SPDX-License-Identifier: GPL-3.0-or-later
// The hall of fame and the world's server: which run goes out when, what
// each answer of the server does to an entry's state, the state kept
// across a restart, and the world's tables as the panel shows them.
#include "storage/hall_of_fame_file.h"
#include "testing/test_game.h"
#include "world/hall_of_fame_world.h"
#include "world/world_board.h"
#include "world/world_outbox.h"

#include <gtest/gtest.h>

namespace kestrada::session {
namespace {

using testing::fileText;
using testing::writeFile;

HallOfFameLine entry(const std::filesystem::path& folder, const std::string& run,
                     const std::string& name = "Ann Lee") {
    std::string failure;
    writeRun(folder, run, "# kestrada 1.0 seed 7\n12 down Up\n", failure);
    return {"3043", name, "2026-12-07T11:45:03", run};
}

WorldReply answer(int status, WorldFields fields = {}) {
    WorldReply reply;
    reply.status = status;
    reply.fields = std::move(fields);
    return reply;
}

TEST(WorldOutbox, ARunGoesOutOnceNamedAndAgainWithGrowingWaitsUntilTheServerAnswers) {
    const testing::ScratchDir dir;
    WorldOutbox outbox(dir.path());
    EXPECT_FALSE(outbox.next(0));
    outbox.add(entry(dir.path(), "a.txt"));
    const auto first = outbox.next(0);
    ASSERT_TRUE(first);
    EXPECT_EQ(first->method, "POST");
    EXPECT_EQ(first->target, "/api/runs?name=Ann%20Lee&score=3043");
    EXPECT_EQ(first->body, fileText(dir.path() / "runs/a.txt"));
    EXPECT_FALSE(outbox.next(0)) << "one request out at a time";

    outbox.answered(answer(0), 0);
    EXPECT_EQ(outbox.find("a.txt")->state, WorldState::Resend);
    EXPECT_TRUE(outbox.unreachable());
    EXPECT_FALSE(outbox.next(1999));
    ASSERT_TRUE(outbox.next(2000));
    outbox.answered(answer(0), 2000);
    EXPECT_FALSE(outbox.next(5999)) << "the second wait is longer";
    ASSERT_TRUE(outbox.next(6000));
    // Busy: Retry-After asks for longer than the wait would be.
    WorldReply busy = answer(503);
    busy.retryAfterSeconds = 30;
    outbox.answered(busy, 6000);
    EXPECT_FALSE(outbox.next(35999));
    ASSERT_TRUE(outbox.next(36000));
    WorldReply tooMany = answer(429);
    tooMany.retryAfterSeconds = 1; // shorter than the wait: the wait wins
    outbox.answered(tooMany, 36000);
    EXPECT_FALSE(outbox.next(36000 + resendWaitMs(4) - 1));
    ASSERT_TRUE(outbox.next(36000 + resendWaitMs(4)));
    EXPECT_EQ(outbox.find("a.txt")->attempts, 4);

    // Taken, queued: asked about until checked.
    outbox.answered(answer(202, {{"id", "17"}, {"status", "queued"}}), 100000);
    EXPECT_FALSE(outbox.unreachable());
    EXPECT_EQ(outbox.find("a.txt")->state, WorldState::Waiting);
    EXPECT_FALSE(outbox.next(100999));
    const auto check = outbox.next(101000);
    ASSERT_TRUE(check);
    EXPECT_EQ(check->target, "/api/runs/17");
    outbox.answered(answer(200, {{"id", "17"}, {"status", "verified"}, {"rank", "4"}}), 101000);
    EXPECT_EQ(worldStateText(*outbox.find("a.txt")), "verified, world rank 4");
    EXPECT_FALSE(outbox.next(1e9)) << "a verified run is not sent again";
}

TEST(WorldOutbox, TheStatesSurviveARestartAndWhatWasNotDoneIsDoneAtOnce) {
    const testing::ScratchDir dir;
    writeFile(dir.path() / kHallOfFameFileName,
              "# kestrada hall of fame 1\n3043\tAnn\t2026-12-07T11:45:03\ta.txt\n");
    const std::string table = fileText(dir.path() / kHallOfFameFileName);
    {
        WorldOutbox outbox(dir.path());
        outbox.add(entry(dir.path(), "a.txt", "A"));
        outbox.add(entry(dir.path(), "b.txt", "B"));
        outbox.add(entry(dir.path(), "c.txt", "C"));
        outbox.next(0);
        outbox.answered(answer(0), 0);
        outbox.next(2000); // the oldest first, again
        outbox.answered(answer(202, {{"id", "9"}, {"status", "queued"}}), 2000);
        outbox.next(2000);
        outbox.answered(answer(422, {{"error", "replays to 3042"}}), 2000);
    }
    EXPECT_EQ(fileText(dir.path() / kHallOfFameFileName), table) << "the table keeps its format";
    const auto kept = readWorldRecords(dir.path());
    ASSERT_EQ(kept.size(), 3u);
    EXPECT_EQ(worldStateText(kept[0]), "sent, waiting for the server's check");
    EXPECT_EQ(worldStateText(kept[1]), "refused: replays to 3042");
    EXPECT_EQ(worldStateText(kept[2]), "not sent yet");

    WorldOutbox restarted(dir.path());
    std::vector<std::string> asked;
    for (const int status : {404, 201, 404}) {
        const auto request = restarted.next(0);
        ASSERT_TRUE(request);
        asked.push_back(request->method + " " + request->target);
        restarted.answered(answer(status, {{"id", "9"}, {"status", "verified"}, {"rank", "2"}}), 0);
    }
    // The server forgot the queued run: the same file goes again. A 404 to
    // a run sent is an address without such a server: it waits.
    EXPECT_EQ(asked,
              (std::vector<std::string>{"GET /api/runs/9", "POST /api/runs?name=A&score=3043",
                                        "POST /api/runs?name=C&score=3043"}));
    EXPECT_EQ(worldStateText(*restarted.find("a.txt")), "verified, world rank 2");
    EXPECT_EQ(restarted.find("c.txt")->state, WorldState::Resend);
}

std::vector<WorldFields> ranks(int from, int to, const std::string& own = "") {
    std::vector<WorldFields> rows;
    for (int rank = from; rank <= to; ++rank) {
        rows.push_back({{"rank", std::to_string(rank)},
                        {"name", rank == 14 && !own.empty() ? own : "p" + std::to_string(rank)},
                        {"score", std::to_string(10000 - rank)},
                        {"date", "2026-12-07T11:45:03Z"},
                        {"run", "r" + std::to_string(rank)}});
    }
    return rows;
}

TEST(WorldBoard, TheTopTenOrTheTopFiveAndThePlayersOwnRowsHighlighted) {
    WorldBoard board;
    board.open(false, "Zed");
    const auto top = board.next();
    ASSERT_TRUE(top);
    EXPECT_EQ(top->target, "/api/boards/all?limit=10");
    WorldReply reply = answer(200);
    reply.entries = ranks(1, 10);
    board.answered(reply);
    EXPECT_EQ(board.rows().front(), " 1        9999  p1            2026-12-07 11:45");
    EXPECT_FALSE(board.highlighted());
    const auto around = board.next();
    ASSERT_TRUE(around);
    EXPECT_EQ(around->target, "/api/boards/all?around=Zed");
    reply.entries = ranks(10, 18, "Zed");
    board.answered(reply);
    ASSERT_EQ(board.rows().size(), 10u);
    EXPECT_EQ(board.rows()[4].substr(0, 2), " 5");
    EXPECT_EQ(board.rows()[5].substr(0, 2), "12");
    ASSERT_TRUE(board.highlighted());
    EXPECT_EQ(*board.highlighted(), 7u);
    EXPECT_EQ(board.runOf(7), "r14");
    EXPECT_FALSE(board.next());
}

TEST(HallOfFameWorld, WithoutAServerNothingGoesOutAndThePanelIsAsItWas) {
    const testing::ScratchDir dir;
    HallOfFamePanel panel(dir.path(), steppedRunChecks());
    HallOfFameWorld none(dir.path(), "");
    none.entryNamed(entry(dir.path(), "a.txt"));
    EXPECT_FALSE(none.next(0));
    EXPECT_TRUE(none.view(panel).notes.empty());
    EXPECT_FALSE(none.askRoad());
    EXPECT_EQ(none.roadMessage(), "Today's road needs the server: none is set.");
    EXPECT_TRUE(readWorldRecords(dir.path()).empty());

    // With one, Tab shows the world's table, asked for.
    HallOfFameWorld world(dir.path(), "http://127.0.0.1:9/");
    Form form;
    panel.toggle(form);
    EXPECT_TRUE(world.press(panel, std::nullopt, "\t", true, false));
    EXPECT_EQ(world.view(), HallOfFameWorld::View::World);
    const auto board = world.next(0);
    ASSERT_TRUE(board);
    EXPECT_EQ(board->purpose, WorldRequest::Purpose::Board);
    world.answered(*board, answer(0), 0);
    EXPECT_EQ(world.view(panel).notes.back(), "The server cannot be reached.");
}

// The first game of a session on today's road goes out even when it does
// not enter the local table, under the last name; the games after it do not.
TEST(HallOfFameWorld, OnTodaysRoadTheFirstGameGoesOutAndOnlyIt) {
    const testing::ScratchDir dir;
    writeLastName(dir.path(), "Eve");
    HallOfFamePanel panel(dir.path(), steppedRunChecks());
    HallOfFameWorld world(dir.path(), "http://127.0.0.1:9");
    world.setRoad("2026-12-07");
    world.gameEnded(panel, "120", "# kestrada 1.0 seed 5\n", "2026-12-07T11:45:03");
    world.gameEnded(panel, "130", "# kestrada 1.0 seed 5\n1 down Up\n", "2026-12-07T11:46:00");
    const auto records = readWorldRecords(dir.path());
    ASSERT_EQ(records.size(), 1u);
    EXPECT_EQ(records[0].road, "2026-12-07");
    const auto request = world.next(0);
    ASSERT_TRUE(request);
    EXPECT_EQ(request->target, "/api/runs?name=Eve&score=120&road=2026-12-07");
    EXPECT_EQ(request->body, "# kestrada 1.0 seed 5\n");
}

// A world row chosen with Down and Enter downloads its run, to replay.
TEST(HallOfFameWorld, AWorldRowChosenDownloadsItsRun) {
    const testing::ScratchDir dir;
    HallOfFamePanel panel(dir.path(), steppedRunChecks());
    HallOfFameWorld world(dir.path(), "http://127.0.0.1:9");
    Form form;
    panel.toggle(form);
    world.press(panel, std::nullopt, "\t", true, false);
    const auto board = world.next(0);
    ASSERT_TRUE(board);
    WorldReply rows = answer(200);
    rows.entries = ranks(1, 3);
    world.answered(*board, rows, 0);
    EXPECT_TRUE(world.press(panel, HallOfFamePanel::Key::Down, "", true, false));
    EXPECT_TRUE(world.press(panel, HallOfFamePanel::Key::Down, "", true, false));
    EXPECT_TRUE(world.press(panel, HallOfFamePanel::Key::Enter, "", true, false));
    const auto download = world.next(0);
    ASSERT_TRUE(download);
    EXPECT_EQ(download->target, "/api/runs/r2/recording");
    WorldReply run = answer(200);
    run.text = "# kestrada 1.0 seed 3\n";
    world.answered(*download, run, 0);
    EXPECT_EQ(world.takeDownloadedRun(), "# kestrada 1.0 seed 3\n");
}

} // namespace
} // namespace kestrada::session
