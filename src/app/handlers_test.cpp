// SPDX-License-Identifier: GPL-3.0-or-later
// The form's handlers as a player meets them: keys, pause, music, the crash
// and the high score kept between games, also when two games share it.
#include "app/key_codes.h"
#include "app/score_text.h"
#include "testing/test_game.h"

#include <csignal>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <map>
#include <memory>
#include <sstream>
#include <string>
#include <sys/file.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace kestrada {
namespace {

using testing::fileText;
using testing::TestGame;
using testing::writeFile;

int held(const Form& f) {
    return f.UpHeld + f.DownHeld + f.LeftHeld + f.RightHeld;
}

TEST(Keys, ArrowsAreLevelsAndOnlyTheirReleasesCountWhilePaused) {
    TestGame g;
    Form& f = g.form;
    const auto press = [&f](std::initializer_list<int16_t> keys, bool down) {
        for (const int16_t key : keys) {
            if (down) {
                f.Form_KeyDown(key);
            } else {
                f.Form_KeyUp(key);
            }
        }
    };
    press({kKeyUp, kKeyUp, kKeyDown, kKeyLeft, kKeyRight}, true); // a repeat changes nothing
    EXPECT_EQ(held(f), 4);
    press({kKeyUp, kKeyDown, kKeyRight}, false);
    EXPECT_EQ(held(f), 1);

    press({kKeyEsc, kKeyUp, kKey2, kKeySpace}, true);
    EXPECT_EQ(f.UpHeld, 0);
    EXPECT_EQ(f.MissileInFlight, 0);
    EXPECT_EQ(f.WeaponChoice, 1);
    EXPECT_EQ(f.LeftHeld, 1); // held through the pause
    press({kKeyLeft}, false);
    EXPECT_EQ(f.LeftHeld, 0);
    press({kKeyEsc, kKeyUp}, true);
    EXPECT_EQ(f.UpHeld, 1);
    // The hidden hall of fame's item lets go of every arrow.
    f.mnuHighScores_Click();
    EXPECT_EQ(held(f), 0);
    // Enter starts a new game only after a crash.
    g.ticks(3);
    f.Form_KeyDown(kKeyEnter);
    EXPECT_EQ(f.TickCount, 3);
}

TEST(Pause, EscTwiceRestoresTheGameExactlyWithTheMedianShownOrNot) {
    for (const bool median : {true, false}) {
        SCOPED_TRACE(median ? "median shown" : "median hidden");
        TestGame g(7);
        Form& f = g.form;
        f.Form_KeyDown(kKeyUp);
        g.ticks(120);
        f.Form_KeyUp(kKeyUp);
        ASSERT_FALSE(f.GameOver);
        f.picSplit().Visible = median;
        const Form before = f;

        f.Form_KeyDown(kKeyEsc);
        EXPECT_TRUE(f.lblPaused().Visible);
        EXPECT_EQ(f.lblInfo(8).Caption, "Unpause");
        EXPECT_EQ(f.mousePointer, MousePointer::Default);
        EXPECT_FALSE(f.picSplit().Visible);
        EXPECT_EQ(f.imgSplit().Visible, median);
        EXPECT_EQ(f.imgSplit().Top, before.picSplit().Top);
        EXPECT_EQ(f.drawOrder.front(), ControlId::lblPaused);

        f.Form_KeyDown(kKeyEsc);
        Form after = f;
        // Only the still picture of the median and the drawing order may differ.
        after.drawOrder = before.drawOrder;
        after.MedianWasVisible = before.MedianWasVisible;
        after.imgSplit().Top = before.imgSplit().Top;
        EXPECT_TRUE(after == before);
        EXPECT_TRUE(f.MusicPlaying);
    }
}

// Runs clicks and ticks: m music, e effects, p pause, n new game, tN ticks.
void run(TestGame& g, std::string_view script) {
    const std::map<char, void (Form::*)()> clicks = {{'m', &Form::mnuMusic_Click},
                                                     {'e', &Form::mnuEffects_Click},
                                                     {'p', &Form::mnuPause_Click},
                                                     {'n', &Form::mnuNew_Click}};
    std::istringstream in{std::string(script)};
    for (std::string step; in >> step;) {
        if (step[0] == 't') {
            g.ticks(std::stoi(step.substr(1)));
        } else {
            const auto click = clicks.at(step[0]);
            (g.form.*click)();
        }
    }
}

// The music waits for the start jingle (tick 75) unless effects are off;
// each case stops just before it ought to start, then lets it, from the top.
TEST(Music, StartsOnlyOnceDueCheckedAndUnpausedFromTheTop) {
    for (const auto& [before, starts] :
         std::initializer_list<std::pair<const char*, const char*>>{{"m t10 m t65", "t1"},
                                                                    {"t74 e", "t1"},
                                                                    {"e m t75", "m"},
                                                                    {"m e t10", "m"},
                                                                    {"t80 m p m", "p"},
                                                                    {"t80 m p p", "m"},
                                                                    {"e n", "t1"}}) {
        SCOPED_TRACE(before);
        TestGame g;
        run(g, before);
        EXPECT_FALSE(g.form.MusicPlaying);
        EXPECT_EQ(g.sndMusic.mode(), kModeStopped);
        g.sndMusic.setPosition(1234); // where a stopped song stood
        g.soundLog.clear();
        run(g, starts);
        EXPECT_TRUE(g.form.MusicPlaying);
        EXPECT_EQ(g.sndMusic.mode(), kModePlaying);
        // Resuming plays on from there; every other start is from the top.
        const bool resumed = std::string_view(starts) == "p";
        EXPECT_EQ(g.sndMusic.position(), resumed ? 1234 : 0);
        EXPECT_EQ(g.sndStart.mode(), kModeStopped);
        if (std::string_view(starts) == "t1") {
            EXPECT_EQ(g.soundLog, (std::vector<std::string>{"sndStart.stop", "sndMusic.stop",
                                                            "sndMusic.setpos", "sndMusic.play"}));
        }
    }
}

TEST(Music, LoopsAtTheEndOfPlaybackOnlyWhileTheGameRuns) {
    TestGame g;
    g.ticks(80);
    const auto ends = [&g](bool stopped = true) {
        if (stopped) {
            g.sndMusic.finish();
        } else {
            g.sndMusic.play();
        }
        g.soundLog.clear();
        g.form.sndMusic_event9();
        return g.soundLog;
    };
    EXPECT_EQ(ends(), (std::vector<std::string>{"sndMusic.setpos", "sndMusic.play"}));
    // An end reported late, when the player already plays again, still loops.
    EXPECT_EQ(ends(false), (std::vector<std::string>{"sndMusic.setpos", "sndMusic.play"}));
    g.form.mnuPause_Click();
    EXPECT_TRUE(ends().empty());
    g.form.mnuPause_Click();
    g.form.Die();
    EXPECT_TRUE(ends().empty());
}

// Once playing, the music is not started again when the jingle's time is up.
TEST(Music, IsNotRestartedOnceItPlays) {
    TestGame g;
    run(g, "e t1");
    g.soundLog.clear();
    run(g, "t80");
    EXPECT_TRUE(g.soundLog.empty());
}

// A new game goes on with the generator and with no shot out; with effects
// off it has no jingle and a crash is silent, the median frozen where it was.
TEST(NewGame, GoesOnWithTheGeneratorAndHeedsTheEffectsSwitch) {
    TestGame g;
    Form& f = g.form;
    f.Form_KeyDown(kKeySpace);
    f.Rnd();
    RandomGenerator goingOn = f.rng;
    g.soundLog.clear();
    f.mnuEffects_Click();
    EXPECT_EQ(g.soundLog, (std::vector<std::string>{"sndStart.stop", "sndCrash.stop"}));
    g.soundLog.clear();
    f.mnuNew_Click();
    EXPECT_EQ(f.rng, goingOn);
    EXPECT_EQ(f.MissileInFlight, 0);
    f.picSplit().Top = 100;
    f.Die();
    EXPECT_EQ(f.imgSplit().Top, 100);
    EXPECT_EQ(g.soundLog,
              (std::vector<std::string>{"sndMusic.stop", "sndMusic.setpos", "sndStart.stop",
                                        "sndCrash.stop", "sndStart.stop", "sndMusic.stop"}));
}

// A crash saves a beaten score and shows the wreck; Exit and closing the
// window save it too but end the program instead.
TEST(HighScore, OnlyAScoreThatBeatsTheBestIsSavedAsOneQuotedLine) {
    struct Case {
        void (Form::*end)();
        std::string fileBefore;
        std::string score;
        std::string fileAfter;
        std::string best;
    };
    const Case cases[] = {
        {&Form::Die, "500\r\n", "500", "500\r\n", "500"}, // equal is not beaten
        {&Form::Die, "", "0", "", "0"},                   // nor is 0 with no best stored
        {&Form::Die, "\"100\"\r\nold junk that must go\r\n", "501", "\"501\"\r\n", "501"},
        {&Form::mnuExit_Click, "", "1234", "\"1234\"\r\n", "1234"},
        {&Form::mnuExit_Click, "\"9000\"\r\n", "10", "\"9000\"\r\n", "9000"},
        {&Form::Form_Unload, "", "77", "\"77\"\r\n", "77"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.score + " after " + c.fileBefore);
        TestGame g(1, false);
        writeFile(g.highScoreFile(), c.fileBefore);
        g.form.Form_Load();
        g.form.lblScore().Caption = c.score;
        g.soundLog.clear();
        (g.form.*c.end)();
        EXPECT_EQ(fileText(g.highScoreFile()), c.fileAfter);
        EXPECT_EQ(g.form.lblHighScore().Caption, c.best);
        const bool exited = c.end != &Form::Die;
        EXPECT_EQ(g.host.ended, exited);
        EXPECT_EQ(g.form.GameOver, !exited);
        EXPECT_EQ(g.form.imgWreck().Visible, !exited);
        EXPECT_EQ(g.form.imgCracked().Visible, !exited);
        // A crash cuts the jingle and the music short and is heard; leaving
        // silences all three.
        const std::vector<std::string> heard =
            exited ? std::vector<std::string>{"sndStart.stop", "sndMusic.stop", "sndCrash.stop"}
                   : std::vector<std::string>{"sndStart.stop", "sndMusic.stop", "sndCrash.setpos",
                                              "sndCrash.play"};
        EXPECT_EQ(g.soundLog, heard);
        // The next game reads back what was saved.
        g.form.mnuNew_Click();
        EXPECT_EQ(g.form.lblHighScore().Caption, c.best);
    }
}

// What the dashboard shows for whatever lies in the file: the numeric start of
// its first value, or the label as it was when there is nothing to read.
TEST(HighScoreFile, FormLoadShowsWhatTheFileHoldsOrKeepsTheLabel) {
    struct Case {
        std::optional<std::string> bytes;
        std::string shown;
        const char* value = nullptr; // the first value as the form keeps it
    };
    const Case cases[] = {
        {"\"5000\"\r\n", "5000", "5000"},
        {"  \"12\"34", "12", "12"},
        {"\"77", "77", "77"}, // unterminated quote
        {"12.5kg", "12.5"},
        {"42,17\r\n", "42", "42"},
        {"6  \r\n7", "6", "6"},
        {"\"-5\"", "-5"},
        {"7e", "7"},
        {"1E308", "1E+308"},
        {"1000000000000000", "1E+15"},
        {"1234567890.12345", "1234567890.12345"}, // fifteen digits, as many as are sure
        {"1e999", "0"},                           // out of range reads as nothing
        {"\r\n\"9\"", "0", ""},
        {std::string("\x00\xff\xfe\x01", 4), "0"},
        {std::string(3'000'000, '7'), "0"}, // no line end anywhere: read is bounded
        {"   ", "900"},
        {std::nullopt, "900"}, // created empty for the next save
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.bytes ? c.bytes->substr(0, 20) : "no file");
        TestGame g(1, false);
        if (c.bytes) {
            writeFile(g.highScoreFile(), *c.bytes);
        }
        g.form.lblHighScore().Caption = "900";
        g.form.Form_Load();
        EXPECT_EQ(g.form.lblHighScore().Caption, c.shown);
        if (c.value != nullptr) {
            EXPECT_EQ(g.form.HighScoreText, c.value);
        }
        EXPECT_EQ(fileText(g.highScoreFile()), c.bytes.value_or(""));
    }
}

// A game started on the folder's file, its score already run up.
std::unique_ptr<testing::TestGame> gameWithScore(const std::filesystem::path& folder,
                                                 const std::string& score) {
    auto game = std::make_unique<testing::TestGame>(1, true, folder);
    game->form.lblScore().Caption = score;
    return game;
}

TEST(HighScoreRace, TwoGamesEndingAtOnceKeepTheLargerScoreEveryRound) {
    const testing::ScratchDir dir;
    const std::filesystem::path file = dir.path() / kHighScoreFileName;
    constexpr int kRounds = 60;
    for (int round = 0; round < kRounds; ++round) {
        writeFile(file, "\"100\"\r\n");
        const std::string low = std::to_string(1000 + round);
        const std::string high = std::to_string(5000 + round);
        // Both read "100" at the start, as two windows opened together would.
        auto first = gameWithScore(dir.path(), round % 2 == 0 ? high : low);
        auto second = gameWithScore(dir.path(), round % 2 == 0 ? low : high);
        int go[2];
        ASSERT_EQ(::pipe(go), 0);
        for (testing::TestGame* game : {first.get(), second.get()}) {
            if (::fork() == 0) {
                ::close(go[1]);
                char c;
                (void)!::read(go[0], &c, 1); // both start when the pipe closes
                game->form.mnuExit_Click();
                std::_Exit(0);
            }
        }
        ::close(go[0]);
        ::close(go[1]);
        while (::wait(nullptr) > 0) {
        }
        ASSERT_EQ(fileText(file), "\"" + high + "\"\r\n") << "round " << round;
    }
}

// The best another game saved meanwhile stands, and the window shows it; an
// equal one is not written again.
TEST(HighScoreRace, ABestSavedMeanwhileStandsAndShowsUnlessBeaten) {
    const testing::ScratchDir dir;
    auto lower = gameWithScore(dir.path(), "153");
    auto equal = gameWithScore(dir.path(), "14801");
    writeFile(dir.path() / kHighScoreFileName, "\"14801.0\"\r\n");
    lower->form.mnuExit_Click();
    EXPECT_EQ(lower->form.lblHighScore().Caption, "14801");
    equal->form.mnuExit_Click();
    EXPECT_EQ(fileText(dir.path() / kHighScoreFileName), "\"14801.0\"\r\n");
}

TEST(HighScoreRace, AGameStoppedHoldingTheLockDoesNotHangTheSave) {
    const testing::ScratchDir dir;
    const pid_t holder = ::fork();
    if (holder == 0) {
        ::flock(::open(dir.path().c_str(), O_RDONLY | O_DIRECTORY), LOCK_EX);
        ::raise(SIGSTOP);
        std::_Exit(0);
    }
    ::waitpid(holder, nullptr, WUNTRACED); // stopped, the lock held
    auto game = gameWithScore(dir.path(), "777");
    game->form.mnuExit_Click();
    EXPECT_EQ(fileText(dir.path() / kHighScoreFileName), "\"777\"\r\n");
    ::kill(holder, SIGKILL);
    ::waitpid(holder, nullptr, 0);
}

} // namespace
} // namespace kestrada
