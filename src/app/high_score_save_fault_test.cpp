// Saving the high score where the disk fights back. Whatever goes wrong, the
// game goes on, the label shows the new best, and the file holds either the
// old line or the new one, never a piece of either.
#include "app/high_score_file.h"
#include "app/key_codes.h"
#include "testing/ram_disk.h"
#include "testing/test_game.h"

#include <fstream>
#include <gtest/gtest.h>
#include <iterator>

namespace kestrada {
namespace {

namespace fs = std::filesystem;
using testing::ScratchDir;
using testing::TestGame;

const std::string kOldLine = "\"500\"\r\n";
const std::string kNewLine = "\"777\"\r\n";

std::string fileText(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

void writeFile(const fs::path& file, const std::string& text) {
    std::ofstream(file, std::ios::binary) << text;
}

// A game whose program folder is appPath, loaded as at start-up.
struct GameIn {
    explicit GameIn(const fs::path& appPath) : game(1, false) {
        game.form.appPath = appPath;
        game.form.Form_Load();
    }
    Form& form() { return game.form; }
    TestGame game;
};

// The crash that ends a game with this score on the board.
void crashWithScore(Form& f, const std::string& score) {
    f.lblScore().Caption = score;
    f.Die();
}

// The crash is over and a fresh game runs as if nothing had happened.
// Collected as text so that scenarios run in a child process can report it.
std::string gameGoesOnFault(Form& f, const std::string& shownBest) {
    std::string fault;
    if (f.lblHighScore().Caption != shownBest) {
        fault += "label shows " + f.lblHighScore().Caption + " not " + shownBest + "; ";
    }
    if (!f.GameOver || !f.imgWreck().Visible) {
        fault += "the crash did not end the game; ";
    }
    f.Form_KeyDown(kKeyEnter);
    f.Form_KeyUp(kKeyEnter);
    if (f.GameOver || !f.tmrMain.Enabled) {
        fault += "Enter did not start a new game; ";
    }
    for (int i = 0; i < 30 && f.tmrMain.Enabled; ++i) {
        f.tmrMain_Timer();
    }
    if (f.TickCount != 30) {
        fault += "the new game stopped after " + std::to_string(f.TickCount) + " ticks; ";
    }
    return fault;
}

bool tempFileLeft(const fs::path& folder) {
    return fs::exists(folder / (std::string(kHighScoreFileName) + ".tmp"));
}

TEST(HighScoreSaveFaults, AFolderThatCannotExistLosesOnlyTheFile) {
    ScratchDir dir;
    writeFile(dir.path() / "plain-file", "x");
    // Neither root nor anyone else can create a file under a regular file.
    for (const fs::path& appPath : {dir.path() / "plain-file" / "game", dir.path() / "gone"}) {
        GameIn g(appPath);
        EXPECT_EQ(g.form().lblHighScore().Caption, "0");
        crashWithScore(g.form(), "777");
        EXPECT_FALSE(fs::exists(appPath / kHighScoreFileName)) << appPath;
        // The label keeps the best of this session through the new game.
        EXPECT_EQ(gameGoesOnFault(g.form(), "777"), "") << appPath;
        EXPECT_EQ(g.form().lblHighScore().Caption, "777");
        crashWithScore(g.form(), "900");
        EXPECT_EQ(g.form().lblHighScore().Caption, "900");
    }
    EXPECT_FALSE(fs::exists(dir.path() / "gone"));
}

TEST(HighScoreSaveFaults, AReadOnlyFileOrFolderHoldsTheOldLineOrTheNew) {
    ScratchDir dir;
    const fs::path file = dir.path() / kHighScoreFileName;
    writeFile(file, kOldLine);
    fs::permissions(file, fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
    {
        GameIn g(dir.path());
        EXPECT_EQ(g.form().lblHighScore().Caption, "500");
        crashWithScore(g.form(), "777");
        // Replacing a file needs only the folder's permission, so the new
        // line usually lands; what matters is that it lands whole.
        const std::string held = fileText(file);
        EXPECT_TRUE(held == kOldLine || held == kNewLine) << held;
        EXPECT_EQ(gameGoesOnFault(g.form(), "777"), "");
        EXPECT_EQ(g.form().lblHighScore().Caption, held == kNewLine ? "777" : "500");
    }

    writeFile(file, kOldLine);
    fs::permissions(dir.path(), fs::perms::owner_read | fs::perms::owner_exec);
    {
        GameIn g(dir.path());
        crashWithScore(g.form(), "777");
        // Root writes anyway; anyone else is refused. Either way: whole lines.
        const std::string held = fileText(file);
        EXPECT_TRUE(held == kOldLine || held == kNewLine) << held;
        EXPECT_FALSE(tempFileLeft(dir.path()));
        EXPECT_EQ(gameGoesOnFault(g.form(), "777"), "");
    }
}

TEST(HighScoreSaveFaults, AFolderWhereTheFileShouldBeStaysUntouched) {
    ScratchDir dir;
    const fs::path inTheWay = dir.path() / kHighScoreFileName;
    fs::create_directory(inTheWay);
    writeFile(inTheWay / "keepsake", "mine");
    GameIn g(dir.path());
    EXPECT_EQ(g.form().lblHighScore().Caption, "0");
    crashWithScore(g.form(), "777");
    EXPECT_TRUE(fs::is_directory(inTheWay));
    EXPECT_EQ(fileText(inTheWay / "keepsake"), "mine");
    EXPECT_FALSE(tempFileLeft(dir.path()));
    EXPECT_EQ(gameGoesOnFault(g.form(), "777"), "");
}

TEST(HighScoreSaveFaults, AWriteThatRunsOutOfSpaceKeepsTheOldFile) {
    ScratchDir dir;
    const fs::path file = dir.path() / kHighScoreFileName;
    writeFile(file, kOldLine);
    GameIn g(dir.path());
    // The save's scratch copy leads to a device that is always full.
    fs::create_symlink("/dev/full", dir.path() / (std::string(kHighScoreFileName) + ".tmp"));
    crashWithScore(g.form(), "777");
    EXPECT_EQ(fileText(file), kOldLine);
    // The failed save clears its scratch copy, so the next one can succeed.
    EXPECT_FALSE(fs::exists(fs::symlink_status(dir.path() / "Kestrada.txt.tmp")));
    EXPECT_EQ(gameGoesOnFault(g.form(), "777"), "");
    EXPECT_EQ(g.form().lblHighScore().Caption, "500"); // read back from the old file
    crashWithScore(g.form(), "888");
    EXPECT_EQ(fileText(file), "\"888\"\r\n");
}

TEST(HighScoreSaveFaults, AFullDiskKeepsTheOldFileIntact) {
    ScratchDir dir;
    const std::string report = testing::onRamDisk(dir.path(), 64 * 1024, [&] {
        const fs::path file = dir.path() / kHighScoreFileName;
        writeFile(file, kOldLine);
        GameIn g(dir.path());
        const std::size_t filled = testing::fillDisk(dir.path() / "filler");
        crashWithScore(g.form(), "777");
        std::string fault = gameGoesOnFault(g.form(), "777");
        if (filled == 0) {
            fault += "nothing could be written to fill the disk; ";
        }
        if (fileText(file) != kOldLine) {
            fault += "the old file now holds \"" + fileText(file) + "\"; ";
        }
        if (tempFileLeft(dir.path())) {
            fault += "a temporary file was left behind; ";
        }
        // Room again: the next beaten score is saved.
        fs::remove(dir.path() / "filler");
        crashWithScore(g.form(), "888");
        if (fileText(file) != "\"888\"\r\n") {
            fault += "the save after freeing space did not land; ";
        }
        return fault;
    });
    if (report.starts_with(testing::kRamDiskUnavailable)) {
        GTEST_SKIP() << report;
    }
    EXPECT_EQ(report, "");
}

TEST(HighScoreSaveFaults, AReadOnlyFileSystemKeepsTheOldFileAndTheGameRuns) {
    ScratchDir dir;
    const std::string report = testing::onRamDisk(dir.path(), 64 * 1024, [&] {
        const fs::path file = dir.path() / kHighScoreFileName;
        writeFile(file, kOldLine);
        std::string fault = testing::makeRamDiskReadOnly(dir.path());
        GameIn g(dir.path());
        if (g.form().lblHighScore().Caption != "500") {
            fault += "the old score was not read; ";
        }
        crashWithScore(g.form(), "777");
        fault += gameGoesOnFault(g.form(), "777");
        if (fileText(file) != kOldLine) {
            fault += "the old file changed; ";
        }
        return fault;
    });
    if (report.starts_with(testing::kRamDiskUnavailable)) {
        GTEST_SKIP() << report;
    }
    EXPECT_EQ(report, "");
}

} // namespace
} // namespace kestrada
