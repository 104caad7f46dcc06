// The headless program run end to end, as a script would run it: real
// arguments, real files, the exit status and what lands on stdout and stderr.
#include "testing/test_game.h"

#include <fstream>
#include <gtest/gtest.h>
#include <regex>
#include <sstream>
#include <sys/wait.h>

namespace {

namespace fs = std::filesystem;
using kestrada::testing::ScratchDir;

std::string shellQuoted(const std::string& text) {
    std::string quoted = "'";
    for (const char c : text) {
        quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    }
    return quoted + "'";
}

std::string fileText(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

void writeFile(const fs::path& file, const std::string& text) {
    std::ofstream(file, std::ios::binary) << text;
}

std::vector<std::string> linesOf(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) {
        lines.push_back(line);
    }
    return lines;
}

// The raw JSON text of the first "key": in a record.
std::string field(const std::string& record, const std::string& key) {
    const std::string needle = "\"" + key + "\":";
    const auto at = record.find(needle);
    if (at == std::string::npos) {
        return "<no " + key + ">";
    }
    std::size_t i = at + needle.size();
    const std::size_t start = i;
    int depth = 0;
    bool inString = false;
    for (; i < record.size(); ++i) {
        const char c = record[i];
        if (inString) {
            i += c == '\\' ? 1 : 0;
            inString = c != '"';
        } else if (c == '"') {
            inString = true;
        } else if (c == '[' || c == '{') {
            ++depth;
        } else if ((c == ']' || c == '}') && depth > 0) {
            --depth;
        } else if ((c == ',' || c == '}') && depth == 0) {
            break;
        }
    }
    return record.substr(start, i - start);
}

int number(const std::string& record, const std::string& key) {
    return std::stoi(field(record, key));
}

struct Outcome {
    int status = -1;
    std::string out;
    std::string err;
};

class HeadlessProgram : public ::testing::Test {
  protected:
    HeadlessProgram() { fs::create_directories(data()); }

    fs::path data() const { return dir.path() / "data"; }
    fs::path trace() const { return dir.path() / "trace.jsonl"; }

    fs::path input(const std::string& text) {
        const fs::path file = dir.path() / ("input" + std::to_string(++inputs) + ".txt");
        writeFile(file, text);
        return file;
    }

    Outcome run(const std::vector<std::string>& args) {
        std::string command = shellQuoted(KESTRADA_PROGRAM) + " --headless";
        for (const std::string& arg : args) {
            command += " " + shellQuoted(arg);
        }
        const fs::path out = dir.path() / "stdout";
        const fs::path err = dir.path() / "stderr";
        command += " >" + shellQuoted(out.string()) + " 2>" + shellQuoted(err.string());
        const int raw = std::system(command.c_str());
        Outcome outcome;
        outcome.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
        outcome.out = fileText(out);
        outcome.err = fileText(err);
        return outcome;
    }

    // A run with a trace in the scratch folder; returns the records.
    std::vector<std::string> traced(const std::string& script, const std::string& slots,
                                    Outcome* outcome = nullptr) {
        const Outcome o = run({"--seed", "3", "--slots", slots, "--input", input(script).string(),
                               "--data-dir", data().string(), "--trace", trace().string()});
        EXPECT_EQ(o.status, 0) << o.err;
        if (outcome != nullptr) {
            *outcome = o;
        }
        return linesOf(fileText(trace()));
    }

    ScratchDir dir;
    int inputs = 0;
};

const std::regex
    kSummary("slots=[0-9]+ ticks=[0-9]+ score=[0-9]+ high=[0-9]+ gameover=(true|false) "
             "exited=(true|false)\n");

TEST_F(HeadlessProgram, HelpShowsTheUsage) {
    const Outcome o = run({"--help"});
    EXPECT_EQ(o.status, 0);
    EXPECT_TRUE(o.out.starts_with("usage: kestrada --headless")) << o.out;
    EXPECT_EQ(o.err, "");
}

TEST_F(HeadlessProgram, RefusesBadArgumentsWithOneLineAndStatus2) {
    for (const std::vector<std::string>& args :
         {std::vector<std::string>{"--slots", "-5"},
          {"--seed", "4294967296"},
          {"--frames", "3"},
          {"--input"},
          {"--data-dir", (dir.path() / "missing").string()}}) {
        const Outcome o = run(args);
        EXPECT_EQ(o.status, 2) << args.front();
        EXPECT_EQ(o.out, "") << args.front();
        EXPECT_EQ(linesOf(o.err).size(), 1u) << o.err;
    }
    EXPECT_FALSE(fs::exists(data() / "Kestrada.txt")) << "no game was started";
}

TEST_F(HeadlessProgram, AMalformedInputLineStopsTheRunBeforeItsFirstSlot) {
    writeFile(trace(), "an older trace\n");
    const Outcome o =
        run({"--input", input("# fine so far\n1 down Up\n\n4 down Shift\n5 down Left\n").string(),
             "--trace", trace().string(), "--data-dir", data().string()});
    EXPECT_EQ(o.status, 2);
    EXPECT_EQ(o.err, "input:4: unknown key \"Shift\"\n");
    EXPECT_EQ(o.out, "");
    EXPECT_EQ(fileText(trace()), "an older trace\n") << "the trace was not even opened";
    EXPECT_FALSE(fs::exists(data() / "Kestrada.txt")) << "no game was started";

    const Outcome missing = run({"--input", (dir.path() / "nowhere.txt").string()});
    EXPECT_EQ(missing.status, 2);
    EXPECT_TRUE(missing.err.starts_with("input: cannot read ")) << missing.err;
}

TEST_F(HeadlessProgram, AnUnwritableTraceStopsTheRunBeforeItsFirstSlot) {
    const Outcome o = run({"--trace", (dir.path() / "no" / "such" / "t.jsonl").string(),
                           "--data-dir", data().string()});
    EXPECT_EQ(o.status, 2);
    EXPECT_TRUE(o.err.starts_with("trace: cannot write ")) << o.err;
    EXPECT_FALSE(fs::exists(data() / "Kestrada.txt"));
}

TEST_F(HeadlessProgram, TheSameSeedAndInputGiveByteIdenticalTraces) {
    const std::string script = KESTRADA_INPUT_DIR "/scripted_game.txt";
    // Each run gets a fresh folder: a high score saved by the first run
    // would otherwise show in the second.
    const auto play = [&](const std::string& name, const std::string& seed,
                          const std::string& file) {
        const fs::path folder = dir.path() / name;
        fs::create_directories(folder);
        const Outcome o = run({"--seed", seed, "--slots", "3000", "--input", file, "--data-dir",
                               folder.string(), "--trace", (folder / "t.jsonl").string()});
        EXPECT_EQ(o.status, 0) << o.err;
        EXPECT_TRUE(std::regex_match(o.out, kSummary)) << o.out;
        return std::make_pair(o.out, fileText(folder / "t.jsonl"));
    };
    const auto first = play("first", "3", script);
    const auto second = play("second", "3", script);
    EXPECT_EQ(linesOf(first.second).size(), 3000u);
    EXPECT_EQ(first.first, second.first);
    EXPECT_TRUE(first.second == second.second) << "traces differ";

    // The same script saved on another system replays the same game.
    std::string crlf = "# saved with CRLF line ends\r\n";
    for (const std::string& line : linesOf(fileText(script))) {
        crlf += line + "\r\n";
    }
    const auto windows = play("crlf", "3", input(crlf).string());
    EXPECT_TRUE(windows.second == first.second) << "a CRLF copy plays differently";

    const auto otherSeed = play("other", "4", script);
    EXPECT_NE(otherSeed.second, first.second) << "the seed must matter";
}

TEST_F(HeadlessProgram, AShorterReplayReproducesTheBeginningOfTheGame) {
    const std::string script = fileText(KESTRADA_INPUT_DIR "/scripted_game.txt");
    const std::vector<std::string> whole = traced(script, "1200");
    fs::remove(data() / "Kestrada.txt");
    Outcome o;
    const std::vector<std::string> part = traced(script, "700", &o);
    ASSERT_EQ(whole.size(), 1200u);
    ASSERT_EQ(part.size(), 700u);
    EXPECT_TRUE(std::equal(part.begin(), part.end(), whole.begin()));
    EXPECT_TRUE(o.out.starts_with("slots=700 ")) << o.out;
    // The events after slot 700 were never delivered.
    EXPECT_TRUE(o.out.find("exited=false") != std::string::npos);
}

TEST_F(HeadlessProgram, ExitSavesTheBeatenHighScoreAndEndsTheRecords) {
    writeFile(data() / "Kestrada.txt", "\"5\"\r\n");
    Outcome o;
    const std::vector<std::string> records =
        traced("1 down Up\n8 down Left\n15 up Left\n60 menu mnuExit\n60 down Esc\n", "100", &o);
    ASSERT_EQ(records.size(), 59u) << "no record for the slot of Exit or after it";
    const std::string score = field(records.back(), "lblScore");
    ASSERT_GT(std::stoi(score.substr(1)), 5) << "the drive should beat 5 points";
    const std::string shown = score.substr(1, score.size() - 2);
    EXPECT_EQ(o.out, "slots=59 ticks=59 score=" + shown + " high=" + shown +
                         " gameover=false exited=true\n");
    EXPECT_EQ(fileText(data() / "Kestrada.txt"), "\"" + shown + "\"\r\n");
}

TEST_F(HeadlessProgram, HoldingUpThenLeftDrivesOntoTheRoad) {
    const std::vector<std::string> r = traced("1 down Up\n8 down Left\n15 up Left\n", "40");
    ASSERT_EQ(r.size(), 40u);
    // On the verge the car creeps up to 5 and shows without its hit box.
    for (int slot = 1; slot <= 13; ++slot) {
        const std::string& rec = r[slot - 1];
        EXPECT_EQ(number(rec, "Speed"), std::min(slot, 5)) << rec;
        EXPECT_TRUE(field(rec, "picCar").ends_with(",false]")) << "hidden hit box: " << rec;
    }
    // Left moves the car by its speed each tick.
    EXPECT_EQ(field(r[6], "picCar"), "[386,335,false]");
    EXPECT_EQ(field(r[7], "picCar"), "[381,335,false]");
    EXPECT_EQ(field(r[12], "picCar"), "[356,335,false]");
    // On the asphalt it shows its hit box and accelerates past 5.
    EXPECT_EQ(field(r[13], "OffRoad"), "false");
    EXPECT_EQ(field(r[13], "picCar"), "[350,330,true]");
    EXPECT_EQ(number(r[13], "Speed"), 6);
    EXPECT_EQ(number(r[39], "Speed"), 25);
    EXPECT_EQ(field(r[39], "picCar"), "[350,235,true]") << "top speed sits 125 pixels higher";
    EXPECT_EQ(field(r[39], "GameOver"), "false");
}

TEST_F(HeadlessProgram, EscPausesAndResumesWithoutLosingATick) {
    const std::vector<std::string> r = traced("10 down Esc\n20 down Esc\n", "25");
    ASSERT_EQ(r.size(), 25u);
    EXPECT_EQ(field(r[9], "sound"), "[\"sndStart.stop\",\"sndMusic.stop\",\"sndCrash.stop\"]");
    for (int slot = 10; slot <= 19; ++slot) {
        const std::string& rec = r[slot - 1];
        EXPECT_EQ(field(rec, "tick"), "false") << rec;
        EXPECT_EQ(field(rec, "TimerEnabled"), "false") << rec;
        EXPECT_EQ(field(rec, "Paused"), "true") << rec;
        EXPECT_EQ(number(rec, "TickCount"), 9) << rec;
        EXPECT_EQ(field(rec, "mnuPause"), "[\"Un&pause\",true]") << rec;
        EXPECT_EQ(field(rec, "lblInfo8"), "\"Unpause\"") << rec;
    }
    EXPECT_EQ(field(r[19], "tick"), "true");
    EXPECT_EQ(number(r[19], "TickCount"), 10);
    EXPECT_EQ(field(r[19], "Paused"), "false");
    EXPECT_EQ(field(r[19], "sound"), "[\"sndMusic.play\"]") << "resuming starts the music";
    EXPECT_EQ(number(r[24], "TickCount"), 15);
}

TEST_F(HeadlessProgram, TheMusicStartsInTheTickThatBeginsAt75) {
    const std::vector<std::string> r = traced("", "80");
    ASSERT_EQ(r.size(), 80u);
    for (int slot = 1; slot <= 75; ++slot) {
        EXPECT_EQ(field(r[slot - 1], "sound"), "[]") << slot;
        EXPECT_EQ(field(r[slot - 1], "MusicPlaying"), "false") << slot;
    }
    EXPECT_EQ(field(r[75], "sound"), "[\"sndStart.stop\",\"sndMusic.stop\","
                                     "\"sndMusic.setpos\",\"sndMusic.play\"]");
    EXPECT_EQ(field(r[75], "MusicPlaying"), "true");
    EXPECT_EQ(field(r[76], "sound"), "[]");
}

TEST_F(HeadlessProgram, EnterStartsANewGameOnlyAfterACrash) {
    // Straight off the right edge of the road: dead in the third tick.
    const std::vector<std::string> r =
        traced("1 down Enter\n1 down Up\n1 down Right\n4 up Up\n4 up Right\n5 down Enter\n", "6");
    ASSERT_EQ(r.size(), 6u);
    EXPECT_EQ(number(r[0], "TickCount"), 1) << "Enter in a running game does nothing";
    EXPECT_EQ(field(r[2], "GameOver"), "true");
    EXPECT_EQ(field(r[2], "TimerEnabled"), "false");
    EXPECT_EQ(field(r[2], "imgWreck"), "[389,350,true]");
    EXPECT_EQ(field(r[2], "mnuPause"), "[\"&Pause\",false]");
    EXPECT_EQ(field(r[2], "lblSpeed"), "\"0\"");
    EXPECT_EQ(field(r[2], "sound"),
              "[\"sndStart.stop\",\"sndMusic.stop\",\"sndCrash.setpos\",\"sndCrash.play\"]");
    EXPECT_EQ(field(r[3], "tick"), "false");

    EXPECT_EQ(field(r[4], "GameOver"), "false");
    EXPECT_EQ(field(r[4], "tick"), "true");
    EXPECT_EQ(number(r[4], "TickCount"), 1);
    EXPECT_EQ(field(r[4], "picCar"), "[386,360,false]");
    EXPECT_EQ(field(r[4], "imgWreck"), "[389,350,false]");
    EXPECT_EQ(field(r[4], "mnuPause"), "[\"&Pause\",true]");
    EXPECT_EQ(field(r[4], "sound"),
              "[\"sndMusic.stop\",\"sndMusic.setpos\",\"sndStart.stop\",\"sndCrash.stop\","
              "\"sndStart.stop\",\"sndStart.setpos\",\"sndStart.play\"]");
}

} // namespace
