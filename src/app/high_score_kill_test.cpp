// The program can die at any moment while it saves (killed, or the power
// cut at Exit). Whenever that happens the file must still be one whole line.
#include "app/high_score_file.h"
#include "testing/test_game.h"

#include <csignal>
#include <fstream>
#include <gtest/gtest.h>
#include <iterator>
#include <random>
#include <set>
#include <sys/wait.h>
#include <unistd.h>

namespace kestrada {
namespace {

namespace fs = std::filesystem;

std::string fileText(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

TEST(HighScoreSaveKilled, EveryKillLeavesOneWholeLineThatTheGameReads) {
    testing::ScratchDir dir;
    const fs::path file = dir.path() / kHighScoreFileName;
    const fs::path temp = dir.path() / (std::string(kHighScoreFileName) + ".tmp");
    // Lines of different lengths, so a torn or mixed write cannot pass.
    const std::set<std::string> whole = {"\"333\"\r\n", "\"1111111111\"\r\n", "\"22\"\r\n"};
    ASSERT_TRUE(writeHighScore(file, "333"));

    std::mt19937 random(20240517);
    std::uniform_int_distribution<int> delayMicroseconds(0, 6000);
    constexpr int kKills = 200;
    int killedMidSave = 0;
    std::set<std::string> seen;
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
        ASSERT_TRUE(whole.contains(held))
            << "after kill " << kill << " the file holds \"" << held << '"';
        seen.insert(held);
        // A scratch copy left behind means the kill landed inside a save.
        if (fs::exists(temp)) {
            ++killedMidSave;
        }
    }
    std::cout << "kills inside a save: " << killedMidSave << " of " << kKills
              << "; distinct whole lines seen: " << seen.size() << '\n';
    // Otherwise the loop proved nothing about saves cut short.
    EXPECT_GT(killedMidSave, kKills / 10);

    // The next start reads whichever line survived, despite any scratch copy,
    // and the next beaten score replaces it.
    testing::TestGame g(1, false);
    g.form.appPath = dir.path();
    g.form.Form_Load();
    const std::string expected = fileText(file).substr(1, fileText(file).find('"', 1) - 1);
    EXPECT_EQ(g.form.lblHighScore().Caption, expected);
    g.form.lblScore().Caption = "99999999999";
    g.form.Die();
    EXPECT_EQ(g.form.lblHighScore().Caption, "99999999999");
    EXPECT_EQ(fileText(file), "\"99999999999\"\r\n");
    EXPECT_FALSE(fs::exists(temp));
}

} // namespace
} // namespace kestrada
