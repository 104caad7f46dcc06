// SPDX-License-Identifier: GPL-3.0-or-later
// Saving the high score where the disk fights back or the program is killed
// mid-save: the game goes on, the label shows the new best, and the file
// holds the old line or the new one, never a piece of either.
#include "app/key_codes.h"
#include "storage/high_score_file.h"
#include "storage/replace_file.h"
#include "testing/test_game.h"

#include <algorithm>
#include <csignal>
#include <fcntl.h>
#include <functional>
#include <gtest/gtest.h>
#include <sched.h>
#include <span>
#include <sys/mount.h>
#include <sys/wait.h>
#include <unistd.h>

namespace kestrada {
namespace {

namespace fs = std::filesystem;
using testing::fileText;
const std::string kOldLine = "\"500\"\r\n";
const fs::path kFile = kHighScoreFileName;

struct GameIn : testing::TestGame {
    explicit GameIn(const fs::path& scoreDir) : TestGame(1, true, scoreDir) {}
};

// Scratch copies a save cut short leaves: the file's name and six characters.
int scratchCopiesIn(const fs::path& folder) {
    std::error_code ec;
    return static_cast<int>(std::ranges::count_if(fs::directory_iterator(folder, ec), [](auto& e) {
        const std::string name = e.path().filename().string();
        return name.starts_with(kFile.string() + ".") && name.size() == 19;
    }));
}

struct Situation {
    const char* name;
    const char* folder; // of the score, made with the old line unless "new"
    bool ramDisk;       // of 64 KiB, in a mount namespace of the child's own
    std::function<void(const fs::path&)> twist;
    bool saved;
};

// Crashes with a beaten best in a child process, as nobody when we are root
// (root writes through any permission). Returns what the game said on
// stderr, then "@" and the faults seen.
std::string crashIn(const Situation& s, const fs::path& dir) {
    const testing::ScratchDir out;
    const int said = ::open((out.path() / "said").c_str(), O_WRONLY | O_CREAT, 0600);
    std::cout.flush(); // else the child writes our pending output a second time
    if (::fork() != 0) {
        ::close(said);
        ::wait(nullptr);
        std::error_code ec; // a folder left read-only would outlive the clean-up
        fs::permissions(dir / "shared", fs::perms::owner_all, ec);
        return fileText(out.path() / "said");
    }
    ::dup2(said, 2);
    if (s.ramDisk && (::unshare(CLONE_NEWNS) != 0 ||
                      ::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0 ||
                      ::mount("tmpfs", dir.c_str(), "tmpfs", 0, "size=64k") != 0)) {
        std::cerr << "@no RAM disk";
        std::_Exit(0);
    }
    std::string fault;
    try {
        const fs::path folder = dir / s.folder;
        if (s.folder != std::string_view("new")) {
            fs::create_directories(folder);
            testing::writeFile(folder / kFile, kOldLine);
        }
        s.twist(folder);
        (void)!::lchown(dir.c_str(), 65534, 65534); // fails on a read-only disk
        for (const auto& entry : fs::recursive_directory_iterator(dir)) {
            (void)!::lchown(entry.path().c_str(), 65534, 65534);
        }
        if (::geteuid() == 0 && (::setgid(65534) != 0 || ::setuid(65534) != 0)) {
            fault += "could not drop root; ";
        }
        GameIn g(folder);
        Form& f = g.form;
        f.lblScore().Caption = "777";
        f.Die();
        fault += f.lblHighScore().Caption == "777" ? "" : "label not updated; ";
        fault += scratchCopiesIn(folder) == 0 ? "" : "a scratch copy was left behind; ";
        const std::string held = fileText(g.highScoreFile());
        fault += held == (s.saved ? "\"777\"\r\n" : kOldLine) ? "" : "the file holds " + held;
        if (fs::is_symlink(dir / "game" / kFile) != fs::exists(dir / "real")) {
            fault += "the link was replaced; ";
        }
        f.Form_KeyDown(kKeyEnter);
        g.ticks(30);
        fault += f.GameOver || f.TickCount != 30 ? "the new game stopped; " : "";
    } catch (const std::exception& e) {
        fault += std::string("threw: ") + e.what();
    }
    std::cerr << "@" << fault;
    std::_Exit(0);
}

using P = const fs::path&;

// Runs each situation; false when one needs a RAM disk that cannot be made.
bool eachTakesTheNewLineWholeOrKeepsTheOldAndSaysSo(std::span<const Situation> situations) {
    for (const Situation& situation : situations) {
        SCOPED_TRACE(situation.name);
        testing::ScratchDir dir;
        const std::string outcome = crashIn(situation, dir.path());
        const std::string said = outcome.substr(0, outcome.rfind('@'));
        if (outcome.ends_with("@no RAM disk")) {
            return false;
        }
        EXPECT_EQ(outcome.substr(said.size()), "@") << outcome;
        // One line on stderr exactly when the beaten score was lost.
        const bool toldLost = said.find("high score 777 not saved") != std::string::npos;
        EXPECT_EQ(toldLost, !situation.saved);
        EXPECT_LE(std::count(said.begin(), said.end(), '\n'), 1) << said;
    }
    return true;
}

TEST(HighScoreSaveFaults, EachFolderEitherTakesTheNewLineWholeOrKeepsTheOldAndSaysSo) {
    const Situation situations[] = {
        {"per-user folder not made yet", "new", false, [](P) {}, true},
        {"a leftover scratch copy", ".", false,
         [](P f) { fs::create_symlink("/dev/full", f / "Kestrada.txt.tmp"); }, true},
        {"folder refuses new files, file writable", "shared", false,
         [](P f) { fs::permissions(f, fs::perms::owner_read | fs::perms::owner_exec); }, true},
        {"symbolic link to the score", "game", false,
         [](P f) {
             fs::create_directory(f / "../real");
             fs::rename(f / kFile, f / "../real/best.txt");
             fs::create_symlink("../real/best.txt", f / kFile);
         },
         true},
        {"read-only file", ".", false,
         [](P f) { fs::permissions(f / kFile, fs::perms::owner_read); }, false},
    };
    EXPECT_TRUE(eachTakesTheNewLineWholeOrKeepsTheOldAndSaysSo(situations));
}

TEST(HighScoreSaveFaults, AFullOrReadOnlyDiskKeepsTheOldLineAndSaysSo) {
    const Situation situations[] = {
        {"full disk", ".", true,
         [](P f) { std::ofstream(f / "filler") << std::string(70000, 'x'); }, false},
        {"read-only file system", ".", true,
         [](P f) { (void)::mount(nullptr, f.c_str(), nullptr, MS_REMOUNT | MS_RDONLY, nullptr); },
         false},
    };
    if (!eachTakesTheNewLineWholeOrKeepsTheOldAndSaysSo(situations)) {
        GTEST_SKIP() << "no RAM disk can be mounted here";
    }
}

SaveStep killAt = SaveStep::ScratchMade;

void killSelfAt(SaveStep step) {
    if (step == killAt) {
        ::raise(SIGKILL);
    }
}

TEST(HighScoreSaveKilled, AKillBetweenAnyTwoStepsLeavesOneWholeLineThatTheGameReads) {
    testing::ScratchDir dir;
    const fs::path file = dir.path() / kFile;
    ASSERT_TRUE(writeHighScore(file, "333"));
    fs::permissions(file, fs::perms::owner_read | fs::perms::owner_write); // kept by every save
    // Until the new file takes the old one's place the old line stays (of
    // another length, so a torn or mixed write cannot pass), and each killed
    // save leaves its scratch copy, which never blocks the next save.
    int leftovers = 0;
    for (const SaveStep step : {SaveStep::ScratchMade, SaveStep::ScratchWritten,
                                SaveStep::ScratchClosed, SaveStep::Replaced}) {
        SCOPED_TRACE(static_cast<int>(step));
        killAt = step;
        const pid_t saver = ::fork();
        if (saver == 0) {
            afterSaveStep = killSelfAt;
            writeHighScore(file, "1111111111");
            std::_Exit(0); // the save never reached the step
        }
        int status = 0;
        ::waitpid(saver, &status, 0);
        EXPECT_TRUE(WIFSIGNALED(status));
        const bool replaced = step == SaveStep::Replaced;
        leftovers += replaced ? 0 : 1;
        EXPECT_EQ(fileText(file), replaced ? "\"1111111111\"\r\n" : "\"333\"\r\n");
        EXPECT_EQ(scratchCopiesIn(dir.path()), leftovers);
    }
    // The next start reads the line that survived, and the next save lands.
    GameIn g(dir.path());
    EXPECT_EQ(g.form.lblHighScore().Caption, "1111111111");
    g.form.lblScore().Caption = "99999999999";
    g.form.Die();
    EXPECT_EQ(fileText(file), "\"99999999999\"\r\n");
    EXPECT_EQ(fs::status(file).permissions(), fs::perms::owner_read | fs::perms::owner_write);
}

} // namespace
} // namespace kestrada
