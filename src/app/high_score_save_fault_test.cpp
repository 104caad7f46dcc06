// Saving the high score where the disk fights back or the program is killed
// mid-save. Whatever goes wrong, the game goes on, the label shows the new
// best, and the file holds either the old line or the new one, never a piece
// of either.
#include "app/high_score_file.h"
#include "app/key_codes.h"
#include "testing/ram_disk.h"
#include "testing/test_game.h"

#include <algorithm>
#include <csignal>
#include <fcntl.h>
#include <functional>
#include <gtest/gtest.h>
#include <random>
#include <set>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace kestrada {
namespace {

namespace fs = std::filesystem;
using testing::fileText;
using testing::ScratchDir;
using testing::TestGame;
using testing::writeFile;

const std::string kOldLine = "\"500\"\r\n";
const std::string kNewLine = "\"777\"\r\n";

// A game whose data are in appPath and whose score is in scoreDir, loaded
// as at start-up.
struct GameIn : TestGame {
    explicit GameIn(const fs::path& appPath, const fs::path& scoreDir = {}) : TestGame(1, false) {
        form.appPath = appPath;
        form.highScoreDir = scoreDir;
        form.Form_Load();
    }
    void crashWithScore(const std::string& score) {
        form.lblScore().Caption = score;
        form.Die();
    }
};

// Scratch copies a save leaves behind when it is cut short: the file's name
// and six random characters.
int scratchCopiesIn(const fs::path& folder) {
    int count = 0;
    std::error_code ec;
    for (const auto& entry : fs::directory_iterator(folder, ec)) {
        const std::string name = entry.path().filename().string();
        count += name.starts_with(std::string(kHighScoreFileName) + ".") && name.size() == 19;
    }
    return count;
}

// The crash is over, the label shows shownBest, and a fresh game runs as if
// nothing had happened. Collected as text so that scenarios run in a child
// process can report it.
std::string gameGoesOnFault(GameIn& g, const std::string& shownBest) {
    Form& f = g.form;
    std::string fault;
    if (f.lblHighScore().Caption != shownBest) {
        fault += "label shows " + f.lblHighScore().Caption + " not " + shownBest + "; ";
    }
    if (!f.GameOver || !f.imgWreck().Visible) {
        fault += "the crash did not end the game; ";
    }
    if (scratchCopiesIn(f.highScoreFile().parent_path()) != 0) {
        fault += "a scratch copy was left behind; ";
    }
    f.Form_KeyDown(kKeyEnter);
    g.ticks(30);
    if (f.GameOver || f.TickCount != 30) {
        fault += "the new game stopped after " + std::to_string(f.TickCount) + " ticks; ";
    }
    return fault;
}

// Runs scenario in a child process, as an ordinary user when we are root
// (root writes through any permission), inside a folder it may write to.
// Returns the scenario's report followed by what it wrote on stderr.
std::string asOrdinaryUser(const fs::path& folder, const std::function<std::string()>& scenario) {
    fs::permissions(folder, fs::perms::all);
    const fs::path report = folder / "report";
    const pid_t child = ::fork();
    if (child == 0) {
        const bool dropped = ::geteuid() != 0 || (::setgid(65534) == 0 && ::setuid(65534) == 0);
        const int err = ::open((folder / "stderr").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0666);
        ::dup2(err, 2);
        std::string fault = "could not drop root; ";
        try {
            fault = dropped ? scenario() : fault;
        } catch (const std::exception& e) {
            fault = std::string("the scenario threw: ") + e.what();
        }
        writeFile(report, fault);
        // Leave every folder removable by whoever cleans up.
        for (const auto& entry : fs::recursive_directory_iterator(folder)) {
            if (entry.is_directory() && !entry.is_symlink()) {
                fs::permissions(entry.path(), fs::perms::owner_all, fs::perm_options::add);
            }
        }
        std::_Exit(0);
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    return fileText(report) + "|" + fileText(folder / "stderr");
}

struct Situation {
    const char* name;
    // Prepares the folder and returns the high-score folder the game uses.
    std::function<fs::path(const fs::path&)> prepare;
    bool saved;
    std::string heldAfter; // what the file (its link followed) then holds
};

const fs::perms kReadOnly = fs::perms::owner_read | fs::perms::owner_exec;

TEST(HighScoreSaveFaults, EachPlaceEitherTakesTheNewLineWholeOrKeepsTheOldAndSaysSo) {
    const std::vector<Situation> situations = {
        {"per-user folder not made yet", [](const fs::path& d) { return d / "share" / "kestrada"; },
         true, kNewLine},
        {"leftover scratch copies",
         [](const fs::path& d) {
             writeFile(d / kHighScoreFileName, kOldLine);
             fs::create_symlink("/dev/full", d / "Kestrada.txt.tmp");
             return d;
         },
         true, kNewLine},
        {"folder refuses new files, file writable",
         [](const fs::path& d) {
             fs::create_directory(d / "shared");
             writeFile(d / "shared" / kHighScoreFileName, kOldLine);
             fs::permissions(d / "shared", kReadOnly);
             return d / "shared";
         },
         true, kNewLine},
        {"symbolic link to the score",
         [](const fs::path& d) {
             fs::create_directory(d / "real");
             writeFile(d / "real" / "best.txt", kOldLine);
             fs::create_directory(d / "game");
             fs::create_symlink("../real/best.txt", d / "game" / kHighScoreFileName);
             return d / "game";
         },
         true, kNewLine},
        {"read-only file",
         [](const fs::path& d) {
             writeFile(d / kHighScoreFileName, kOldLine);
             fs::permissions(d / kHighScoreFileName, fs::perms::owner_read);
             return d;
         },
         false, kOldLine},
        {"read-only file in a read-only folder",
         [](const fs::path& d) {
             fs::create_directory(d / "locked");
             writeFile(d / "locked" / kHighScoreFileName, kOldLine);
             fs::permissions(d / "locked" / kHighScoreFileName, fs::perms::owner_read);
             fs::permissions(d / "locked", kReadOnly);
             return d / "locked";
         },
         false, kOldLine},
        {"a folder where the file should be",
         [](const fs::path& d) {
             fs::create_directories(d / kHighScoreFileName / "keepsake");
             return d;
         },
         false, ""},
        {"a folder that cannot exist",
         [](const fs::path& d) {
             writeFile(d / "plain-file", "x");
             return d / "plain-file" / "game";
         },
         false, ""},
    };
    for (const Situation& situation : situations) {
        SCOPED_TRACE(situation.name);
        ScratchDir dir;
        const std::string outcome = asOrdinaryUser(dir.path(), [&] {
            const fs::path folder = situation.prepare(dir.path());
            GameIn g(dir.path() / "data", folder);
            g.crashWithScore("777");
            std::string fault = gameGoesOnFault(g, "777");
            const fs::path file = g.form.highScoreFile();
            const std::string held = fs::is_regular_file(file) ? fileText(file) : "";
            if (held != situation.heldAfter) {
                fault += "the file holds \"" + held + "\"; ";
            }
            if (fs::is_symlink(dir.path() / "game" / kHighScoreFileName) !=
                fs::exists(dir.path() / "real")) {
                fault += "the link was replaced; ";
            }
            return fault;
        });
        const std::string fault = outcome.substr(0, outcome.find('|'));
        const std::string said = outcome.substr(outcome.find('|') + 1);
        EXPECT_EQ(fault, "") << outcome;
        // One line on stderr exactly when the beaten score was lost.
        EXPECT_EQ(said.find("high score 777 not saved") != std::string::npos, !situation.saved)
            << said;
        EXPECT_LE(std::count(said.begin(), said.end(), '\n'), 1) << said;
    }
}

// Runs scenario on a small RAM disk over a folder holding the old line.
void onFullOrReadOnlyDisk(bool full) {
    ScratchDir dir;
    const fs::path file = dir.path() / kHighScoreFileName;
    const std::string report = testing::onRamDisk(dir.path(), 64 * 1024, [&] {
        writeFile(file, kOldLine);
        std::string fault = full ? "" : testing::makeRamDiskReadOnly(dir.path());
        GameIn g(dir.path());
        if (g.form.lblHighScore().Caption != "500") {
            fault += "the old score was not read; ";
        }
        if (full && testing::fillDisk(dir.path() / "filler") == 0) {
            fault += "nothing could be written to fill the disk; ";
        }
        g.crashWithScore("777");
        fault += gameGoesOnFault(g, "777");
        if (fileText(file) != kOldLine) {
            fault += "the old file now holds \"" + fileText(file) + "\"; ";
        }
        if (full) {
            // Room again: the next beaten score is saved.
            fs::remove(dir.path() / "filler");
            g.crashWithScore("888");
            if (fileText(file) != "\"888\"\r\n") {
                fault += "the save after freeing space did not land; ";
            }
        }
        return fault;
    });
    if (report.starts_with(testing::kRamDiskUnavailable)) {
        GTEST_SKIP() << report;
    }
    EXPECT_EQ(report, "");
}

TEST(HighScoreSaveFaults, AFullDiskKeepsTheOldFileIntact) {
    onFullOrReadOnlyDisk(true);
}

TEST(HighScoreSaveFaults, AReadOnlyFileSystemKeepsTheOldFileAndTheGameRuns) {
    onFullOrReadOnlyDisk(false);
}

TEST(HighScoreSaveKilled, EveryKillLeavesOneWholeLineThatTheGameReads) {
    ScratchDir dir;
    const fs::path file = dir.path() / kHighScoreFileName;
    // Lines of different lengths, so a torn or mixed write cannot pass.
    const std::set<std::string> whole = {"\"333\"\r\n", "\"1111111111\"\r\n", "\"22\"\r\n"};
    ASSERT_TRUE(writeHighScore(file, "333"));

    std::mt19937 random(20240517);
    std::uniform_int_distribution<int> delayMicroseconds(0, 6000);
    constexpr int kKills = 200;
    int killedMidSave = 0;
    int copiesSoFar = 0;
    for (int kill = 0; kill < kKills; ++kill) {
        const pid_t saver = ::fork();
        ASSERT_GE(saver, 0);
        if (saver == 0) {
            for (unsigned i = 0;; ++i) {
                writeHighScore(file, i % 2 == 0 ? "1111111111" : "22");
            }
        }
        ::usleep(static_cast<useconds_t>(delayMicroseconds(random)));
        ::kill(saver, SIGKILL);
        int status = 0;
        ::waitpid(saver, &status, 0);
        ASSERT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL);
        const std::string held = fileText(file);
        ASSERT_TRUE(whole.contains(held)) << "after kill " << kill << " the file holds " << held;
        // A new scratch copy left behind means the kill landed inside a save.
        const int copies = scratchCopiesIn(dir.path());
        killedMidSave += copies > copiesSoFar ? 1 : 0;
        copiesSoFar = copies;
    }
    // Otherwise the loop proved nothing about saves cut short.
    EXPECT_GT(killedMidSave, kKills / 10);

    // The next start reads whichever line survived, and the next beaten
    // score replaces it: the scratch copies left behind never block a save.
    GameIn g(dir.path());
    const std::string held = fileText(file);
    EXPECT_EQ(g.form.lblHighScore().Caption, held.substr(1, held.find('"', 1) - 1));
    g.crashWithScore("99999999999");
    EXPECT_EQ(g.form.lblHighScore().Caption, "99999999999");
    EXPECT_EQ(fileText(file), "\"99999999999\"\r\n");
}

} // namespace
} // namespace kestrada
