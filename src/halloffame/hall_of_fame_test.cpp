// SPDX-License-Identifier: GPL-3.0-or-later
// The hall of fame: its table's rules, its file on disk when damaged, killed
// or shared by two games, and entries checked by replaying their runs.
#include "app/key_codes.h"
#include "halloffame/hall_of_fame.h"
#include "halloffame/hall_of_fame_panel.h"
#include "session/game.h"
#include "session/headless_host.h"
#include "session/recording.h"
#include "session/run_verification.h"
#include "session/slot_runner.h"
#include "storage/replace_file.h"
#include "testing/test_game.h"

#include <csignal>
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

namespace kestrada::session {
namespace {

namespace fs = std::filesystem;
using testing::fileText;
using testing::writeFile;

HallOfFameLine line(const std::string& score, const std::string& when, const std::string& name) {
    static int runs = 0;
    return {score, name, "2026-12-07T" + when, "run-" + std::to_string(++runs) + ".txt"};
}

std::vector<std::string> names(const std::vector<HallOfFameLine>& lines) {
    std::vector<std::string> out;
    for (const auto& l : lines) {
        out.push_back(l.name);
    }
    return out;
}

TEST(HallOfFameTable, BestFirstATieToTheEarlierGameAndTheEleventhDropped) {
    std::vector<HallOfFameLine> lines;
    for (int i = 0; i < 9; ++i) {
        lines.push_back(line(std::to_string(100 * (i + 1)), "10:00:00", "p" + std::to_string(i)));
    }
    lines.push_back(line("500", "09:59:59", "early"));
    lines.push_back(line("500", "10:00:01", "late"));
    keepBest(lines);
    EXPECT_EQ(names(lines), (std::vector<std::string>{"p8", "p7", "p6", "p5", "early", "p4", "late",
                                                      "p3", "p2", "p1"}));
    // The tenth scores 200: a tie with it stays out, one point more enters.
    EXPECT_FALSE(entersHallOfFame(lines, "200"));
    EXPECT_TRUE(entersHallOfFame(lines, "201"));
    lines.pop_back();
    EXPECT_TRUE(entersHallOfFame(lines, "1"));
    EXPECT_FALSE(entersHallOfFame(lines, "0"));
}

// A score typed into the file by hand, once its run is known not to replay
// to it, leaves at the cut before any real game; one not yet checked does
// not.
TEST(HallOfFameTable, TheCutAtTenDropsKnownUnverifiedEntriesFirst) {
    std::vector<HallOfFameLine> lines;
    for (int i = 0; i < 10; ++i) {
        lines.push_back(line(std::to_string(100 * (i + 1)), "10:00:00", "p" + std::to_string(i)));
    }
    lines[9].name = "forged";
    lines[8].name = "unchecked";
    const KnownUnverified forged = [](const HallOfFameLine& l) { return l.name == "forged"; };
    EXPECT_FALSE(entersHallOfFame(lines, "50"));
    EXPECT_TRUE(entersHallOfFame(lines, "50", forged));
    lines.push_back(line("50", "11:00:00", "new"));
    keepBest(lines, forged);
    ASSERT_EQ(lines.size(), kHallOfFameSize);
    EXPECT_EQ(lines.front().name, "unchecked");
    EXPECT_EQ(lines.back().name, "new");
}

TEST(HallOfFameTable, UnverifiedEntriesNeverRankAboveVerifiedOnes) {
    const std::vector<HallOfFameLine> lines = {line("90000", "10:00:00", "forged"),
                                               line("300", "10:00:00", "low"),
                                               line("700", "10:00:00", "high")};
    const auto table = rankHallOfFame(lines, {{false, "replays to 12"}, {true, ""}, {true, ""}});
    ASSERT_EQ(table.size(), 3u);
    EXPECT_EQ(table[0].line.name, "high");
    EXPECT_EQ(table[1].line.name, "low");
    EXPECT_EQ(table[2].line.name, "forged");
    EXPECT_EQ(table[2].rank, 3);
}

TEST(HallOfFameTable, ANameIsCleanedAndCutAtTwelveCharactersNotBytes) {
    EXPECT_EQ(cleanName("Ann\tLee\x01!"), "Ann Lee !");
    EXPECT_EQ(cleanName("  Bo \n"), "Bo");
    // Twelve characters of two bytes each, then more.
    EXPECT_EQ(cleanName("ÅÄÖåäöÆØæøÉé-extra"), "ÅÄÖåäöÆØæøÉé");
    EXPECT_EQ(cleanName("abcdefghijk\xF0\x9F\x9A\x97xyz"), "abcdefghijk\xF0\x9F\x9A\x97");
    // Bytes that are not UTF-8 (a stray continuation, an overlong slash) go.
    EXPECT_EQ(cleanName("a\x80"
                        "b\xC0\xAF"
                        "c\xE2\x82"),
              "abc");
}

TEST(HallOfFameFile, RoundTripsAndKeepsEveryLineItCanReadPastDamage) {
    const std::vector<HallOfFameLine> lines = {line("14801", "10:00:00", "Zoë"),
                                               line("12", "11:00:00", "")};
    EXPECT_EQ(parseHallOfFame(hallOfFameText(lines)).lines, lines);

    const std::string good = "14801\tZoë\t2026-12-07T10:00:00\trun-1.txt";
    const std::string damaged = "# kestrada hall of fame 9\r\n" + good +
                                "\r\nbroken line\n12x\tA\t2026-12-07T10:00:00\tr.txt\n"
                                "5\tB\t2026-12-07 10:00:00\tr.txt\n"
                                "5\tC\t2026-12-07T10:00:00\t../Kestrada.txt\n"
                                "7\tD\t2026-12-07T10:00:00\tr7.txt\textra\n"
                                "8\tE\t2026-12-07T10:00:00\tr8.txt";
    const HallOfFameFile file = parseHallOfFame(damaged);
    EXPECT_EQ(file.damaged, 6u);
    ASSERT_EQ(file.lines.size(), 2u);
    EXPECT_EQ(file.lines[0].name, "Zoë");
    EXPECT_EQ(file.lines[1].name, "E");
    // A header lost altogether costs no entry either.
    EXPECT_EQ(parseHallOfFame(good + "\n").lines.size(), 1u);
}

FinishedGame finished(const std::string& score, const std::string& when) {
    return {score, "2026-12-07T" + when, "# kestrada 1.0 seed 1 high \"0\"\n1 down Up\n"};
}

int stepsToKill = 0;
void killAtCountedStep(SaveStep) {
    if (--stepsToKill == 0) {
        ::raise(SIGKILL);
    }
}

TEST(HallOfFameFile, AKillAtAnyStepOfASaveLosesNoEntry) {
    const testing::ScratchDir dir;
    std::string failure;
    ASSERT_TRUE(keepGame(dir.path(), finished("900", "10:00:00"), "Old", failure));
    const std::string before = fileText(dir.path() / kHallOfFameFileName);
    // Two files are replaced, the run and then the table: four steps each.
    for (int step = 1; step <= 8; ++step) {
        SCOPED_TRACE(step);
        writeFile(dir.path() / kHallOfFameFileName, before);
        const pid_t saver = ::fork();
        if (saver == 0) {
            stepsToKill = step;
            afterSaveStep = killAtCountedStep;
            std::string why;
            keepGame(dir.path(), finished("500", "10:00:0" + std::to_string(step)), "New", why);
            std::_Exit(0);
        }
        int status = 0;
        ::waitpid(saver, &status, 0);
        EXPECT_TRUE(WIFSIGNALED(status));
        HallOfFameFile file;
        ASSERT_TRUE(readHallOfFame(dir.path(), file, failure));
        EXPECT_EQ(file.damaged, 0u);
        ASSERT_EQ(file.lines.size(), step >= 8 ? 2u : 1u);
        EXPECT_EQ(file.lines[0].name, "Old");
        for (const auto& l : file.lines) {
            EXPECT_TRUE(fs::exists(*runPath(dir.path(), l.run))) << l.run;
        }
    }
}

TEST(HallOfFameFile, TwoGamesEndingTogetherKeepBothEntries) {
    const testing::ScratchDir dir;
    for (int round = 0; round < 20; ++round) {
        int go[2];
        ASSERT_EQ(::pipe(go), 0);
        for (int player = 0; player < 2; ++player) {
            if (::fork() == 0) {
                ::close(go[1]);
                char c;
                (void)!::read(go[0], &c, 1); // both start when the pipe closes
                std::string why;
                const auto score = std::to_string(100 + round * 2 + player);
                const auto kept = keepGame(dir.path(), finished(score, "10:00:00"), "P", why);
                std::_Exit(kept ? 0 : 1);
            }
        }
        ::close(go[0]);
        ::close(go[1]);
        int status = 0;
        while (::wait(&status) > 0) {
            EXPECT_EQ(status, 0);
        }
    }
    HallOfFameFile file;
    std::string failure;
    ASSERT_TRUE(readHallOfFame(dir.path(), file, failure));
    ASSERT_EQ(file.lines.size(), kHallOfFameSize);
    EXPECT_EQ(file.lines.front().score, "139");
    EXPECT_EQ(file.lines.back().score, "130");
    // The runs of entries that fell out went with them.
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.path() / kRunsFolderName), {}), 10);
}

// A session of two games, each ended by driving off the road at the left:
// the second only replays right after the first, from the session's start.
struct Session {
    std::string recording = recordingHeader(7, "0") + "\n";
    std::vector<std::string> scores;

    Session() {
        const testing::ScratchDir dir;
        HeadlessHost host;
        Game game(host, {.folders = {dir.path(), dir.path()}, .seed = 7u});
        game.start();
        SlotRunner runner(game, game.form());
        const Form& form = game.form();
        runner.setRecorder([&](const InputEvent& e) { recording += inputLine(e) + "\n"; });
        const auto press = [&](int16_t key) {
            runner.input({.action = InputAction::KeyDown, .keyCode = key});
        };
        for (int slot = 1; scores.size() < 2 && slot < 5000; ++slot) {
            if (slot == 2 || (!scores.empty() && !form.GameOver && slot % 50 == 0)) {
                press(kKeyUp);
                press(kKeyLeft);
            }
            const bool over = form.GameOver;
            runner.runSlot();
            if (!over && form.GameOver) {
                scores.push_back(form.lblScore().Caption);
                if (scores.size() == 1) {
                    press(kKeyEnter);
                }
            }
        }
    }
};

TEST(HallOfFameVerification, ARunReplaysToItsScoreAndNoOther) {
    const Session session;
    ASSERT_EQ(session.scores.size(), 2u);
    ASSERT_NE(session.scores[1], "0");
    EXPECT_TRUE(verifyRecording(session.recording, session.scores[1]).verified);
    const Verification other = verifyRecording(session.recording, session.scores[1] + "1");
    EXPECT_FALSE(other.verified);
    EXPECT_EQ(other.reason, "replays to " + session.scores[1]);
    // Without the start of its session the second game is another game.
    const std::string header = recordingHeader(7, "0") + "\n";
    const std::string laterHalf =
        header + session.recording.substr(session.recording.find("\n", header.size() + 20) + 1);
    EXPECT_FALSE(verifyRecording(laterHalf, session.scores[1]).verified);
}

TEST(HallOfFameVerification, AFarEventOrAHugeFileIsUnverifiedWithoutPlayingIt) {
    const std::string header = recordingHeader(7, "0") + "\n";
    EXPECT_EQ(verifyRecording(header + "4000000000 down Up\n", "10").reason, "replay too long");
    // Driving on past the budget without a crash.
    EXPECT_EQ(verifyRecording(header + "1 down Up\n", "10", 200).reason, "replay too long");
    const testing::ScratchDir dir;
    const HallOfFameLine entry = line("10", "10:00:00", "big");
    fs::create_directories(dir.path() / kRunsFolderName);
    writeFile(*runPath(dir.path(), entry.run), header + std::string(kMaxRunBytes, '#'));
    EXPECT_EQ(verifyEntry(dir.path(), entry).reason, "recording too large");
    EXPECT_EQ(verifyEntry(dir.path(), line("10", "10:00:00", "gone")).reason, "no recording");
}

// The name field: prefilled with the last name, capped at twelve
// characters; Esc puts the prefilled name back, and a running game hides
// the panel. Keys outside the field are the game's after a crash; the table
// opened on its own takes Up, Down and Enter to choose a run.
TEST(HallOfFamePanel, EscKeepsTheLastNameAndTypingStopsAtTwelveCharacters) {
    const testing::ScratchDir dir;
    ASSERT_TRUE(writeLastName(dir.path(), "Zoë"));
    using Key = HallOfFamePanel::Key;
    HallOfFamePanel panel(dir.path(), steppedRunChecks(), [] { return "2026-12-07T10:00:00"; });
    const std::string run = finished("77", "10:00:00").recording;
    panel.gameCrashed("77", run);
    ASSERT_TRUE(panel.editing());
    EXPECT_EQ(panel.name(), "Zoë");
    EXPECT_EQ(panel.highlighted(), std::optional<std::size_t>(0));
    EXPECT_TRUE(panel.press(Key::Home, "", true, false));
    EXPECT_TRUE(panel.press(std::nullopt, "ÅÄÖ long name\t!", true, false));
    EXPECT_EQ(panel.name(), "ÅÄÖ long Zoë"); // twelve characters in all
    EXPECT_TRUE(panel.press(Key::Esc, "", true, false));
    EXPECT_FALSE(panel.editing());
    EXPECT_EQ(panel.name(), "Zoë");
    EXPECT_FALSE(panel.press(Key::Down, "", true, false));
    EXPECT_FALSE(panel.press(Key::Enter, "", true, false)); // the game's: it starts a new one
    EXPECT_FALSE(panel.takeChosen());
    panel.gameCrashed("78", run);
    EXPECT_TRUE(panel.press(std::nullopt, "Al", true, false));
    EXPECT_TRUE(panel.press(Key::Enter, "", true, false));
    HallOfFameFile file;
    std::string failure;
    ASSERT_TRUE(readHallOfFame(dir.path(), file, failure));
    EXPECT_EQ(names(file.lines), (std::vector<std::string>{"ZoëAl", "Zoë"}));
    EXPECT_EQ(readLastName(dir.path()), "ZoëAl");
    EXPECT_TRUE(panel.shown());
    testing::TestGame game;
    panel.follow(game.form);
    EXPECT_FALSE(panel.shown());
    EXPECT_TRUE(panel.toggle(game.form));
    EXPECT_TRUE(panel.press(Key::Down, "", true, false));
    EXPECT_TRUE(panel.press(Key::Enter, "", true, false));
    EXPECT_TRUE(panel.takeChosen());
}

// A click lands on the part under it: left and top edges inside, right and
// bottom ones outside. A row chooses its run, the name field takes the keys
// back, the button is the form's New Game.
TEST(HallOfFamePanel, AClickChoosesARowFocusesTheNameOrPressesNewGame) {
    const testing::ScratchDir dir;
    using Click = HallOfFamePanel::Click;
    HallOfFamePanel panel(dir.path(), steppedRunChecks(), [] { return "2026-12-07T10:00:00"; });
    const Form form;
    panel.gameCrashed("77", finished("77", "10:00:00").recording);
    ASSERT_EQ(panel.rows().size(), 1u);
    EXPECT_NE(panel.rows()[0].find("  2026-12-07 10:00  "), std::string::npos);
    const scene::Rect button = scene::hallOfFameButton(form);
    const double right = button.left + button.width;
    const double bottom = button.top + button.height;
    EXPECT_EQ(panel.click(form, button.left, button.top), Click::NewGame);
    EXPECT_NE(panel.click(form, right, button.top), Click::NewGame);
    EXPECT_NE(panel.click(form, button.left, bottom), Click::NewGame);
    EXPECT_FALSE(panel.editing()); // New Game kept the name
    const scene::Rect field = scene::hallOfFameNameField(form);
    EXPECT_EQ(panel.click(form, field.left, field.top), Click::Taken);
    EXPECT_TRUE(panel.editing());
    const scene::Rect row = scene::hallOfFameRow(form, 0);
    EXPECT_EQ(panel.click(form, row.left, row.top + row.height), Click::Missed); // no second row
    EXPECT_EQ(panel.click(form, row.left, row.top + row.height - 0.5), Click::Taken);
    EXPECT_FALSE(panel.editing());
    EXPECT_EQ(panel.takeChosen(), runPath(dir.path(), "run-2026-12-07T10-00-00-77.txt"));
}

} // namespace
} // namespace kestrada::session
