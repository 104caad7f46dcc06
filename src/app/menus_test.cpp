#include "app/key_codes.h"
#include "testing/test_game.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace kestrada {
namespace {

using testing::TestGame;

bool paused(const Form& f) {
    return f.lblPaused().Visible && !f.tmrMain.Enabled && f.mnuPause.Caption == "Un&pause";
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
        EXPECT_TRUE(paused(f));
        EXPECT_EQ(f.lblInfo(8).Caption, "Unpause");
        EXPECT_FALSE(f.picSplit().Visible);
        EXPECT_EQ(f.imgSplit().Visible, median);
        EXPECT_EQ(f.imgSplit().Top, before.picSplit().Top);
        EXPECT_EQ(f.drawOrder.front(), ControlId::lblPaused);
        EXPECT_EQ(f.mousePointer, MousePointer::Default);

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

// Each case stops just before the music ought to start, then lets it.
TEST(Music, StartsOnlyOnceDueCheckedAndUnpausedFromTheTop) {
    struct Case {
        const char* name;
        void (*before)(TestGame&);
        void (*starts)(TestGame&);
    };
    const Case cases[] = {
        {"checked again while the jingle plays: waits for tick 75",
         [](TestGame& g) {
             g.form.mnuMusic_Click();
             g.ticks(10);
             g.form.mnuMusic_Click();
             EXPECT_TRUE(g.form.mnuMusic.Checked);
         },
         [](TestGame& g) {
             g.soundLog.clear();
             g.ticks(65);
             EXPECT_TRUE(g.soundLog.empty());
             g.ticks(1); // the tick that begins at 75 cuts the jingle
             EXPECT_EQ(g.soundLog, (std::vector<std::string>{"sndStart.stop", "sndMusic.stop",
                                                             "sndMusic.setpos", "sndMusic.play"}));
         }},
        {"unchecked when due: never by itself",
         [](TestGame& g) {
             g.form.mnuMusic_Click();
             g.ticks(200);
         },
         [](TestGame& g) { g.form.mnuMusic_Click(); }},
        {"checked while paused: on resume",
         [](TestGame& g) {
             g.ticks(80);
             g.form.mnuMusic_Click();
             g.form.mnuPause_Click();
             g.form.mnuMusic_Click();
         },
         [](TestGame& g) { g.form.mnuPause_Click(); }},
        {"effects off: no jingle to wait for",
         [](TestGame& g) {
             g.form.mnuEffects_Click();
             EXPECT_FALSE(g.form.mnuEffects.Checked);
             EXPECT_EQ(g.sndStart.mode(), kModeStopped);
             g.form.mnuNew_Click();
         },
         [](TestGame& g) { g.ticks(1); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TestGame g;
        c.before(g);
        EXPECT_FALSE(g.form.MusicPlaying);
        EXPECT_EQ(g.sndMusic.mode(), kModeStopped);
        c.starts(g);
        EXPECT_TRUE(g.form.MusicPlaying);
        EXPECT_EQ(g.sndMusic.mode(), kModePlaying);
        EXPECT_EQ(g.sndMusic.position(), 0);
        EXPECT_EQ(g.sndStart.mode(), kModeStopped);
    }
}

TEST(Music, LoopsAtTheEndOfPlaybackOnlyWhileTheGameRuns) {
    TestGame g;
    g.ticks(80);
    g.sndMusic.finish();
    g.soundLog.clear();
    g.form.sndMusic_event9();
    EXPECT_EQ(g.soundLog, (std::vector<std::string>{"sndMusic.setpos", "sndMusic.play"}));

    g.form.mnuPause_Click();
    g.soundLog.clear();
    g.form.sndMusic_event9();
    EXPECT_TRUE(g.soundLog.empty());
    g.form.mnuPause_Click();

    g.form.Die();
    g.soundLog.clear();
    g.form.sndMusic_event9();
    EXPECT_TRUE(g.soundLog.empty());
}

} // namespace
} // namespace kestrada
