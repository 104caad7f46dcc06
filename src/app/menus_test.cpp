// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/key_codes.h"
#include "testing/test_game.h"

#include <gtest/gtest.h>
#include <map>
#include <sstream>
#include <string>
#include <vector>

namespace kestrada {
namespace {

using testing::TestGame;

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
        EXPECT_TRUE(f.lblPaused().Visible && !f.tmrMain.Enabled &&
                    f.mnuPause.Caption == "Un&pause");
        EXPECT_TRUE(f.lblInfo(8).Caption == "Unpause" && f.mousePointer == MousePointer::Default);
        EXPECT_TRUE(!f.picSplit().Visible && f.imgSplit().Visible == median);
        EXPECT_EQ(f.imgSplit().Top, before.picSplit().Top);
        EXPECT_EQ(f.drawOrder.front(), ControlId::lblPaused);

        f.Form_KeyDown(kKeyEsc);
        Form after = f;
        // Only the still picture of the median and the drawing order may differ.
        after.drawOrder = before.drawOrder;
        after.MedianWasVisible = before.MedianWasVisible;
        after.imgSplit().Top = before.imgSplit().Top;
        EXPECT_TRUE(after == before && f.MusicPlaying);
    }
}

// Runs clicks and ticks: m music, e effects, p pause, n new game, tN ticks.
void run(TestGame& g, std::string_view script) {
    std::istringstream in{std::string(script)};
    for (std::string step; in >> step;) {
        const std::map<char, void (Form::*)()> clicks = {{'m', &Form::mnuMusic_Click},
                                                         {'e', &Form::mnuEffects_Click},
                                                         {'p', &Form::mnuPause_Click},
                                                         {'n', &Form::mnuNew_Click}};
        step[0] == 't' ? g.ticks(std::stoi(step.substr(1))) : (g.form.*clicks.at(step[0]))();
    }
}

// The music waits for the start jingle (tick 75) unless effects are off;
// each case stops just before it ought to start, then lets it, from the top.
TEST(Music, StartsOnlyOnceDueCheckedAndUnpausedFromTheTop) {
    for (const auto& [before, starts] : std::initializer_list<std::pair<const char*, const char*>>{
             {"m t10 m t65", "t1"}, {"m t200", "m"}, {"t80 m p m", "p"}, {"e n", "t1"}}) {
        SCOPED_TRACE(before);
        TestGame g;
        run(g, before);
        EXPECT_TRUE(!g.form.MusicPlaying && g.sndMusic.mode() == kModeStopped);
        g.soundLog.clear();
        run(g, starts);
        EXPECT_TRUE(g.form.MusicPlaying && g.sndMusic.mode() == kModePlaying);
        EXPECT_EQ(g.sndMusic.position(), 0);
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
    const auto ends = [&g] {
        g.sndMusic.finish();
        g.soundLog.clear();
        g.form.sndMusic_event9();
        return g.soundLog;
    };
    EXPECT_EQ(ends(), (std::vector<std::string>{"sndMusic.setpos", "sndMusic.play"}));
    g.form.mnuPause_Click();
    EXPECT_TRUE(ends().empty());
    g.form.mnuPause_Click();
    g.form.Die();
    EXPECT_TRUE(ends().empty());
}

} // namespace
} // namespace kestrada
