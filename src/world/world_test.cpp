// SPDX-License-Identifier: GPL-3.0-or-later
// The hall of fame and the world's server: which run goes out when, what
// each answer of the server does to an entry's state, the state kept
// across a restart, and the world's tables as the panel shows them.
#include "shared_rules/run_limits.h"
#include "storage/hall_of_fame_file.h"
#include "testing/test_game.h"
#include "world/downloaded_run.h"
#include "world/hall_of_fame_world.h"
#include "world/server_look.h"
#include "world/world_board.h"
#include "world/world_name.h"
#include "world/world_outbox.h"

#include <algorithm>
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

constexpr const char* kServer = "http://127.0.0.1:9";

WorldReply answer(int status, WorldFields fields = {}) {
    WorldReply reply;
    reply.status = status;
    reply.fields = std::move(fields);
    return reply;
}

TEST(WorldOutbox, ARunGoesOutOnceNamedAndAgainWithGrowingWaitsUntilTheServerAnswers) {
    const testing::ScratchDir dir;
    WorldOutbox outbox(dir.path(), kServer);
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

// What the server would certainly refuse is not sent, and says why at once.
TEST(WorldOutbox, ARunOverTheSizeLimitOrANameNoServerTakesIsRefusedHere) {
    const testing::ScratchDir dir;
    const std::string header = "# kestrada 1.0 seed 7\n";
    std::string failure;
    for (const std::size_t bytes :
         {shared_rules::kMaxRunFileBytes, shared_rules::kMaxRunFileBytes + 1}) {
        writeRun(dir.path(), std::to_string(bytes) + ".txt",
                 header + std::string(bytes - header.size(), '\n'), failure);
    }
    WorldOutbox outbox(dir.path(), kServer);
    outbox.add({"1", "Ann", "2026-12-07T11:45:03",
                std::to_string(shared_rules::kMaxRunFileBytes + 1) + ".txt"});
    outbox.add(entry(dir.path(), "blank.txt", ""));
    outbox.add({"1", "Ann", "2026-12-07T11:45:03",
                std::to_string(shared_rules::kMaxRunFileBytes) + ".txt"});
    const auto request = outbox.next(0);
    ASSERT_TRUE(request);
    EXPECT_EQ(request->body.size(), shared_rules::kMaxRunFileBytes);
    EXPECT_EQ(worldStateText(*outbox.find("1048577.txt")), "refused: run file over 1 MiB");
    EXPECT_EQ(worldStateText(*outbox.find("blank.txt")), "refused: name: the name is blank");
}

TEST(WorldOutbox, TheStatesSurviveARestartAndWhatWasNotDoneIsDoneAtOnce) {
    const testing::ScratchDir dir;
    writeFile(dir.path() / kHallOfFameFileName,
              "# kestrada hall of fame 1\n3043\tA\t2026-12-07T11:45:03\ta.txt\n"
              "3043\tB\t2026-12-07T11:45:04\tb.txt\n3043\tC\t2026-12-07T11:45:05\tc.txt\n");
    const std::string table = fileText(dir.path() / kHallOfFameFileName);
    {
        WorldOutbox outbox(dir.path(), kServer);
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

    WorldOutbox restarted(dir.path(), kServer);
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

// A kill after the table was written and before the record was: the next
// start sends the entry under its line's name, but the one being named.
// Each server gets every entry once; a waiting id stays with its server.
TEST(WorldOutbox, EveryEntryGetsARecordAtStartAndEachServerItsOwn) {
    const testing::ScratchDir dir;
    entry(dir.path(), "a.txt");
    entry(dir.path(), "b.txt");
    writeFile(dir.path() / kHallOfFameFileName,
              "# kestrada hall of fame 1\n3043\tAnn\t2026-12-07T11:45:03\ta.txt\n"
              "3042\tBo\t2026-12-07T11:45:04\tb.txt\n");
    {
        WorldOutbox first(dir.path(), kServer, "b.txt");
        const auto sent = first.next(0);
        ASSERT_TRUE(sent);
        EXPECT_EQ(sent->target, "/api/runs?name=Ann&score=3043");
        first.answered(answer(202, {{"id", "9"}, {"status", "queued"}}), 0);
        EXPECT_FALSE(first.find("b.txt")) << "its name is still asked for";
    }
    {
        WorldOutbox other(dir.path(), "http://127.0.0.2:9");
        std::vector<std::string> asked;
        while (const auto request = other.next(0)) {
            asked.push_back(request->method + " " + request->target);
            other.answered(answer(201, {{"id", "1"}, {"status", "verified"}, {"rank", "2"}}), 0);
        }
        EXPECT_EQ(asked, (std::vector<std::string>{"POST /api/runs?name=Ann&score=3043",
                                                   "POST /api/runs?name=Bo&score=3042"}));
    }
    WorldOutbox back(dir.path(), kServer);
    EXPECT_EQ(back.find("a.txt")->state, WorldState::Waiting) << "not the other server's rank";
    const auto check = back.next(1000);
    ASSERT_TRUE(check);
    EXPECT_EQ(check->target, "/api/runs/9");
}

// Only one window of a folder sends; another's entries (a road window's)
// reach the server through it. A run pushed out of the table before the
// server had it still goes; once the server has the last word, neither its
// record nor its copy is kept.
TEST(WorldOutbox, OneSenderAFolderAndNoOpenRunIsPruned) {
    const testing::ScratchDir dir;
    entry(dir.path(), "a.txt");
    writeFile(dir.path() / kHallOfFameFileName,
              "# kestrada hall of fame 1\n3043\tAnn\t2026-12-07T11:45:03\ta.txt\n");
    const std::string run = fileText(dir.path() / "runs/a.txt");
    WorldOutbox sender(dir.path(), kServer);
    WorldOutbox road(dir.path(), kServer);
    EXPECT_FALSE(road.sends());
    road.add({"120", "Eve", "2026-12-07T11:45:03", "road-1.txt"}, "2026-12-07",
             std::string("# kestrada 1.0 seed 5\n"));
    EXPECT_FALSE(road.next(1e9));
    std::string failure;
    ASSERT_TRUE(updateHallOfFame(
        dir.path(), [](std::vector<HallOfFameLine>& lines) { lines.clear(); }, failure));
    ASSERT_FALSE(std::filesystem::exists(dir.path() / "runs/a.txt"));
    const auto pushedOut = sender.next(0);
    ASSERT_TRUE(pushedOut);
    EXPECT_EQ(pushedOut->body, run);
    const WorldReply verified = answer(201, {{"id", "1"}, {"status", "verified"}, {"rank", "3"}});
    sender.answered(verified, 0);
    EXPECT_FALSE(sender.next(kLookAgainMs - 1));
    const auto fromRoad = sender.next(kLookAgainMs);
    ASSERT_TRUE(fromRoad);
    EXPECT_EQ(fromRoad->target, "/api/runs?name=Eve&score=120&road=2026-12-07");
    EXPECT_EQ(fromRoad->body, "# kestrada 1.0 seed 5\n");
    sender.answered(verified, kLookAgainMs);
    EXPECT_TRUE(readWorldRecords(dir.path()).empty());
    EXPECT_TRUE(std::filesystem::is_empty(dir.path() / kOutboxFolderName));
}

TEST(WorldOutbox, ARunNotItsNamesBestOrAnothersOnTheTableSaysSo) {
    const testing::ScratchDir dir;
    WorldOutbox outbox(dir.path(), kServer);
    outbox.add(entry(dir.path(), "a.txt"));
    outbox.add(entry(dir.path(), "b.txt", "Bo"));
    outbox.next(0);
    outbox.answered(answer(201, {{"id", "1"}, {"status", "verified"}, {"rank", ""}}), 0);
    outbox.next(0);
    outbox.answered(answer(200, {{"id", "1"},
                                 {"status", "verified"},
                                 {"name", "Ann Lee"},
                                 {"claimed", "3043"},
                                 {"rank", "4"}}),
                    0);
    EXPECT_EQ(worldStateText(*outbox.find("b.txt")), "already on the table as Ann Lee's");
    const auto best = outbox.next(0);
    ASSERT_TRUE(best);
    EXPECT_EQ(best->target, "/api/boards/all?around=Ann%20Lee");
    WorldReply around = answer(200);
    around.entries = {{{"rank", "3"}, {"name", "Ann"}}, {{"rank", "4"}, {"name", "ANN LEE"}}};
    outbox.answered(around, 0);
    EXPECT_EQ(worldStateText(*outbox.find("a.txt")), "verified; your best stands at rank 4");
    EXPECT_FALSE(outbox.next(1e9));
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
    board.answered(*top, reply);
    EXPECT_EQ(board.rows().front(), " 1        9999  p1            2026-12-07 11:45");
    EXPECT_FALSE(board.highlighted());
    const auto around = board.next();
    ASSERT_TRUE(around);
    EXPECT_EQ(around->target, "/api/boards/all?around=Zed");
    reply.entries = ranks(10, 18, "ZED");
    board.answered(*around, reply);
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
    // Tab again before the answer: the late one is not read as the road's.
    world.press(panel, std::nullopt, "\t", true, false);
    const auto road = world.next(0);
    ASSERT_TRUE(road);
    EXPECT_EQ(road->target, "/api/road");
    world.answered(*board, answer(0), 0);
    EXPECT_EQ(world.view(panel).notes.back(), "Asking the server...");
    world.answered(*road, answer(0), 0);
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

// A name the server refuses is mended, not lost: the panel says why, N asks
// for a name the world's table takes, kept for every later entry, and the
// run refused goes again under it, with the one still waiting.
TEST(HallOfFameWorld, ARefusedNameIsMendedByAWorldNameKeptForEveryLaterEntry) {
    using Key = HallOfFamePanel::Key;
    const testing::ScratchDir dir;
    HallOfFamePanel panel(dir.path(), steppedRunChecks());
    Form form;
    panel.toggle(form);
    HallOfFameWorld world(dir.path(), kServer);
    const auto notes = [&] { return world.view(panel).notes; };
    const auto says = [&](const std::string& line) {
        const auto all = notes();
        return std::find(all.begin(), all.end(), line) != all.end();
    };
    // A run refused for its score is no name to mend.
    world.entryNamed(entry(dir.path(), "c.txt", "Cy"));
    world.answered(*world.next(0),
                   answer(201, {{"status", "rejected"}, {"reason", "replays to 5"}}), 0);
    EXPECT_FALSE(world.press(panel, std::nullopt, "n", true, false));
    EXPECT_FALSE(says("N: give a name for the world's table."));

    world.entryNamed(entry(dir.path(), "a.txt", "J@ck"));
    world.entryNamed(entry(dir.path(), "b.txt", "Bo"));
    world.answered(*world.next(0), answer(400, {{"error", "name: not a name the table takes"}}), 0);
    world.answered(*world.next(0), answer(503), 0);
    EXPECT_TRUE(says("The world's table refuses the name J@ck:"));
    EXPECT_TRUE(says("not a name the table takes"));
    EXPECT_TRUE(says("N: give a name for the world's table."));

    EXPECT_TRUE(world.press(panel, std::nullopt, "N", true, false));
    ASSERT_TRUE(world.askingWorldName());
    EXPECT_EQ(world.view(panel).name, "J@ck");
    EXPECT_EQ(std::string(world.view(panel).nameLabel), "World name:");
    for (int i = 0; i < 4; ++i) {
        world.press(panel, Key::Backspace, "", true, false);
    }
    world.press(panel, Key::Enter, "", true, false);
    EXPECT_TRUE(world.askingWorldName()) << "a blank name is no name";
    EXPECT_TRUE(says("Not that name: the name is blank"));
    world.press(panel, std::nullopt, "Jack", true, false);
    world.press(panel, Key::Enter, "", true, false);
    EXPECT_FALSE(world.askingWorldName());
    EXPECT_EQ(readWorldName(dir.path()), "Jack");
    EXPECT_FALSE(says("N: give a name for the world's table."));

    const double due = resendWaitMs(1);
    const auto again = world.next(due);
    ASSERT_TRUE(again);
    EXPECT_EQ(again->target, "/api/runs?name=Jack&score=3043");
    EXPECT_NE(again->body.find("seed 7"), std::string::npos);
    world.answered(*again, answer(201, {{"status", "verified"}, {"rank", "1"}}), due);
    EXPECT_EQ(world.next(due)->target, "/api/runs?name=Jack&score=3043"); // Bo's, waiting

    // After a restart too, a later entry goes under the world name.
    HallOfFameWorld later(dir.path(), kServer);
    later.entryNamed(entry(dir.path(), "d.txt", "Dee"));
    EXPECT_EQ(later.outbox().find("d.txt")->name, "Jack");
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

// Each download is a new file of this user's alone, gone with its window;
// a file it did not make is never removed.
TEST(DownloadedRun, AFileOfItsOwnRemovedWithItsWindow) {
    const auto first = keepDownloadedRun("# kestrada 1.0 seed 3\n");
    const auto second = keepDownloadedRun("# kestrada 1.0 seed 3\n");
    ASSERT_TRUE(first && second);
    EXPECT_NE(*first, *second);
    EXPECT_EQ(fileText(*first), "# kestrada 1.0 seed 3\n");
    EXPECT_EQ(std::filesystem::status(*first).permissions() & std::filesystem::perms::all,
              std::filesystem::perms::owner_read | std::filesystem::perms::owner_write);
    forgetDownloadedRun(*first);
    forgetDownloadedRun(*second);
    EXPECT_FALSE(std::filesystem::exists(*first));
    const testing::ScratchDir dir;
    writeFile(dir.path() / "kestrada-world-run-1", "mine");
    forgetDownloadedRun(dir.path() / "kestrada-world-run-1");
    EXPECT_TRUE(std::filesystem::exists(dir.path() / "kestrada-world-run-1"));
}

// A page without its server looks again at the outbox's waits, and at once
// when the browser is back online.
TEST(ServerLook, AgainAtGrowingWaitsAndAtOnceWhenOnline) {
    ServerLook look;
    EXPECT_TRUE(look.due(0));
    EXPECT_FALSE(look.due(resendWaitMs(1) - 1));
    EXPECT_TRUE(look.due(resendWaitMs(1)));
    EXPECT_FALSE(look.due(resendWaitMs(1) + resendWaitMs(2) - 1));
    look.online();
    EXPECT_TRUE(look.due(resendWaitMs(1) + 1));
}

} // namespace
} // namespace kestrada::session
