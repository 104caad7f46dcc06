// SPDX-License-Identifier: GPL-3.0-or-later
// The headless program run as a script would run it: real arguments and
// files, the exit status, stdout and stderr.
#include "testing/json_field.h"
#include "testing/test_game.h"

#include <gtest/gtest.h>
#include <regex>
#include <sstream>
#include <sys/wait.h>

namespace {

namespace fs = std::filesystem;
using kestrada::testing::fileText;
using kestrada::testing::ScratchDir;
using kestrada::testing::writeFile;

std::vector<std::string> linesOf(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) {
        lines.push_back(line);
    }
    return lines;
}

const auto& at = kestrada::testing::jsonField;

struct Outcome {
    int status = -1;
    std::string out;
    std::string err;
};

class HeadlessProgram : public ::testing::Test {
  protected:
    HeadlessProgram() { fs::create_directories(data()); }

    fs::path data() const { return dir.path() / "data"; }

    std::string input(const std::string& text) {
        const fs::path file = dir.path() / ("input" + std::to_string(++inputs) + ".txt");
        writeFile(file, text);
        return file.string();
    }

    // The program as a shell runs it, every argument quoted.
    Outcome run(const std::vector<std::string>& args) {
        std::string command = std::string("'") + KESTRADA_PROGRAM + "' --headless";
        for (const std::string& arg : args) {
            command += " '" + std::regex_replace(arg, std::regex("'"), "'\\''") + "'";
        }
        const std::string out = (dir.path() / "stdout").string();
        const std::string err = (dir.path() / "stderr").string();
        const int raw = std::system((command + " >'" + out + "' 2>'" + err + "'").c_str());
        return {WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, fileText(out), fileText(err)};
    }

    // A traced run of the input file in a data folder of its own; the
    // records, one per slot. Its outcome is kept in last.
    std::vector<std::string> replay(const std::string& inputFile, const std::string& slots,
                                    const fs::path& folder, const std::string& seed = "3") {
        fs::create_directories(folder);
        last = run({"--seed", seed, "--slots", slots, "--input", inputFile, "--data-dir",
                    folder.string(), "--trace", (folder / "t").string()});
        EXPECT_EQ(last.status, 0) << last.err;
        return linesOf(fileText(folder / "t"));
    }

    ScratchDir dir;
    Outcome last;
    int inputs = 0;
};

// Each run has its own folder, so no saved high score carries over.
TEST_F(HeadlessProgram, TheSameSeedAndInputReplayTheSameGameByteForByte) {
    const std::string script = KESTRADA_INPUT_DIR "/scripted_game.txt";
    const std::regex summary("slots=3000 ticks=[0-9]+ score=[0-9]+ high=[0-9]+ "
                             "gameover=(true|false) exited=false\n");
    const auto one = replay(script, "3000", dir.path() / "first");
    const Outcome first = last;
    const auto two = replay(script, "3000", dir.path() / "second");
    EXPECT_EQ(one.size(), 3000u);
    EXPECT_TRUE(std::regex_match(first.out, summary)) << first.out;
    EXPECT_EQ(first.out, last.out);
    EXPECT_TRUE(one == two) << "traces differ";

    // The same script saved on another system replays the same game.
    std::string crlf = "# saved with CRLF line ends\r\n";
    for (const std::string& line : linesOf(fileText(script))) {
        crlf += line + "\r\n";
    }
    EXPECT_TRUE(replay(input(crlf), "3000", dir.path() / "crlf") == one)
        << "a CRLF copy plays differently";
    EXPECT_FALSE(replay(script, "3000", dir.path() / "other", "4") == one) << "seed ignored";
    // A recording names its seed in its first line: another --seed is refused.
    const Outcome mismatch =
        run({"--input", input("# kestrada 1.0 seed 5\n1 down Up\n"), "--seed", "6"});
    EXPECT_EQ(mismatch.status, 2);
    EXPECT_EQ(mismatch.err, "input:1: recorded with seed 5, not --seed 6\n");
}

// Onto the road and up to top speed, then Exit: the beaten high score is
// saved and the records end before the slot of Exit.
TEST_F(HeadlessProgram, HoldingUpThenLeftDrivesOntoTheRoadAndExitSavesTheScore) {
    writeFile(data() / "Kestrada.txt", "\"5\"\r\n");
    const std::vector<std::string> r = replay(
        input("1 down Up\n8 down Left\n15 up Left\n60 menu mnuExit\n60 down Esc\n"), "100", data());
    ASSERT_EQ(r.size(), 59u) << "no record for the slot of Exit or after it";
    const std::string score = at(r.back(), "lblScore");
    const std::string shown = score.substr(1, score.size() - 2);
    EXPECT_EQ(last.out, "slots=59 ticks=59 score=" + shown + " high=" + shown +
                            " gameover=false exited=true\n");
    EXPECT_EQ(fileText(data() / "Kestrada.txt"), "\"" + shown + "\"\r\n");
}

// A --data-dir holding a score wins over the recorded best, and says so.
TEST_F(HeadlessProgram, ADataFolderWithAScoreWinsOverTheRecordedBest) {
    writeFile(data() / "Kestrada.txt", "\"500\"\r\n");
    const Outcome stored =
        run({"--input", input("# kestrada 1.0 seed 3 high \"3043\"\n1 down Up\n40 menu mnuExit\n"),
             "--data-dir", data().string()});
    EXPECT_TRUE(stored.out.find(" high=500 ") != std::string::npos) << stored.out;
    EXPECT_EQ(stored.err, "input: recorded from high score 3043, played from 500 in " +
                              (data() / "Kestrada.txt").string() + "\n");
}

} // namespace
