// Saving the high score where the disk fights back or the program is killed
// mid-save. Whatever goes wrong, the game goes on, the label shows the new
// best, and the file holds either the old line or the new one, never a piece
// of either.
#include "app/high_score_file.h"
#include "app/key_codes.h"
#include "testing/ram_disk.h"
#include "testing/test_game.h"

#include <csignal>
#include <gtest/gtest.h>
#include <random>
#include <set>
#include <sys/wait.h>
#include <unistd.h>

namespace kestrada {
namespace {

namespace fs = std::filesystem;
using testing::fileText;
using testing::ScratchDir;
using testing::TestGame;
using testing::writeFile;

const std::string kOldLine = "\"500\"\r\n";
const std::string kNewLine = "\"777\"\r\n";

// A game whose program folder is appPath, loaded as at start-up.
struct GameIn : TestGame {
    explicit GameIn(const fs::path& appPath) : TestGame(1, false) {
        form.appPath = appPath;
        form.Form_Load();
    }
    void crashWithScore(const std::string& score) {
        form.lblScore().Caption = score;
        form.Die();
    }
};

fs::path tempFile(const fs::path& folder) {
    return folder / (std::string(kHighScoreFileName) + ".tmp");
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
    if (fs::exists(fs::symlink_status(tempFile(f.appPath)))) {
        fault += "a temporary file was left behind; ";
    }
    f.Form_KeyDown(kKeyEnter);
    g.ticks(30);
    if (f.GameOver || f.TickCount != 30) {
        fault += "the new game stopped after " + std::to_string(f.TickCount) + " ticks; ";
    }
    return fault;
}

TEST(HighScoreSaveFaults, AFolderThatCannotExistLosesOnlyTheFile) {
    ScratchDir dir;
    writeFile(dir.path() / "plain-file", "x");
    // Neither root nor anyone else can create a file under a regular file.
    for (const fs::path& appPath : {dir.path() / "plain-file" / "game", dir.path() / "gone"}) {
        SCOPED_TRACE(appPath);
        GameIn g(appPath);
        EXPECT_EQ(g.form.lblHighScore().Caption, "0");
        g.crashWithScore("777");
        EXPECT_FALSE(fs::exists(appPath / kHighScoreFileName));
        // The label keeps the best of this session through the new game.
        EXPECT_EQ(gameGoesOnFault(g, "777"), "");
        EXPECT_EQ(g.form.lblHighScore().Caption, "777");
        g.crashWithScore("900");
        EXPECT_EQ(g.form.lblHighScore().Caption, "900");
    }
    EXPECT_FALSE(fs::exists(dir.path() / "gone"));
}

TEST(HighScoreSaveFaults, AReadOnlyFileOrFolderHoldsTheOldLineOrTheNew) {
    for (const bool folder : {false, true}) {
        SCOPED_TRACE(folder ? "read-only folder" : "read-only file");
        ScratchDir dir;
        const fs::path file = dir.path() / kHighScoreFileName;
        writeFile(file, kOldLine);
        fs::permissions(folder ? dir.path() : file,
                        fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                        fs::perm_options::remove);
        GameIn g(dir.path());
        EXPECT_EQ(g.form.lblHighScore().Caption, "500");
        g.crashWithScore("777");
        // Replacing a file needs only the folder's permission, and root
        // writes anyway; what matters is that a line lands whole.
        const std::string held = fileText(file);
        EXPECT_TRUE(held == kOldLine || held == kNewLine) << held;
        EXPECT_EQ(gameGoesOnFault(g, "777"), "");
        EXPECT_EQ(g.form.lblHighScore().Caption, held == kNewLine ? "777" : "500");
    }
}

TEST(HighScoreSaveFaults, AFolderWhereTheFileShouldBeStaysUntouched) {
    ScratchDir dir;
    const fs::path inTheWay = dir.path() / kHighScoreFileName;
    fs::create_directory(inTheWay);
    writeFile(inTheWay / "keepsake", "mine");
    GameIn g(dir.path());
    EXPECT_EQ(g.form.lblHighScore().Caption, "0");
    g.crashWithScore("777");
    EXPECT_TRUE(fs::is_directory(inTheWay));
    EXPECT_EQ(fileText(inTheWay / "keepsake"), "mine");
    EXPECT_EQ(gameGoesOnFault(g, "777"), "");
}

TEST(HighScoreSaveFaults, AWriteThatRunsOutOfSpaceKeepsTheOldFile) {
    ScratchDir dir;
    const fs::path file = dir.path() / kHighScoreFileName;
    writeFile(file, kOldLine);
    GameIn g(dir.path());
    // The save's scratch copy leads to a device that is always full; the
    // failed save clears it, so the next one can succeed.
    fs::create_symlink("/dev/full", tempFile(dir.path()));
    g.crashWithScore("777");
    EXPECT_EQ(fileText(file), kOldLine);
    EXPECT_EQ(gameGoesOnFault(g, "777"), "");
    EXPECT_EQ(g.form.lblHighScore().Caption, "500"); // read back from the old file
    g.crashWithScore("888");
    EXPECT_EQ(fileText(file), "\"888\"\r\n");
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
        // A scratch copy left behind means the kill landed inside a save.
        killedMidSave += fs::exists(tempFile(dir.path())) ? 1 : 0;
    }
    // Otherwise the loop proved nothing about saves cut short.
    EXPECT_GT(killedMidSave, kKills / 10);

    // The next start reads whichever line survived, despite any scratch copy,
    // and the next beaten score replaces it.
    GameIn g(dir.path());
    const std::string held = fileText(file);
    EXPECT_EQ(g.form.lblHighScore().Caption, held.substr(1, held.find('"', 1) - 1));
    g.crashWithScore("99999999999");
    EXPECT_EQ(g.form.lblHighScore().Caption, "99999999999");
    EXPECT_EQ(fileText(file), "\"99999999999\"\r\n");
    EXPECT_FALSE(fs::exists(tempFile(dir.path())));
}

} // namespace
} // namespace kestrada
