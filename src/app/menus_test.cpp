#include "app/key_codes.h"
#include "testing/test_game.h"

#include <gtest/gtest.h>

namespace kestrada {
namespace {

using testing::TestGame;

TEST(Pause, EscTwiceRestoresTheGameExactly) {
    TestGame g(7);
    g.form.Form_KeyDown(kKeyUp);
    g.ticks(120);
    g.form.Form_KeyUp(kKeyUp);
    ASSERT_FALSE(g.form.GameOver);
    g.form.picSplit().Visible = true;
    const Form before = g.form;

    g.form.Form_KeyDown(kKeyEsc);
    EXPECT_TRUE(g.form.lblPaused().Visible);
    EXPECT_FALSE(g.form.tmrMain.Enabled);
    EXPECT_EQ(g.form.mnuPause.Caption, "Un&pause");
    EXPECT_EQ(g.form.lblInfo(8).Caption, "Unpause");
    EXPECT_FALSE(g.form.picSplit().Visible);
    EXPECT_TRUE(g.form.imgSplit().Visible);
    EXPECT_EQ(g.form.imgSplit().Top, before.picSplit().Top);
    EXPECT_EQ(g.form.drawOrder.front(), ControlId::lblPaused);
    EXPECT_EQ(g.form.mousePointer, MousePointer::Default);

    g.form.Form_KeyDown(kKeyEsc);
    Form after = g.form;
    // Only the still picture of the median and the drawing order may differ.
    after.drawOrder = before.drawOrder;
    after.MedianWasVisible = before.MedianWasVisible;
    after.imgSplit().Top = before.imgSplit().Top;
    EXPECT_TRUE(after == before);
    EXPECT_TRUE(g.form.MusicPlaying);
}

TEST(Pause, AHiddenMedianStaysOutOfPlay) {
    TestGame g;
    g.ticks(1);
    g.form.picSplit().Visible = false;
    g.form.mnuPause_Click();
    EXPECT_FALSE(g.form.imgSplit().Visible);
    g.form.mnuPause_Click();
    EXPECT_FALSE(g.form.picSplit().Visible);
    EXPECT_FALSE(g.form.imgSplit().Visible);
}

TEST(Pause, SilencesEverySoundAndResumesTheMusicWithoutRewinding) {
    TestGame g;
    g.form.mnuPause_Click();
    EXPECT_EQ(g.sndStart.mode(), kModeStopped);
    g.soundLog.clear();
    g.form.mnuPause_Click();
    EXPECT_EQ(g.soundLog, std::vector<std::string>{"sndMusic.play"});
}

TEST(Pause, DoesNothingAfterACrash) {
    TestGame g;
    g.form.Die();
    g.form.Form_KeyDown(kKeyEsc);
    g.form.mnuPause_Click();
    EXPECT_FALSE(g.form.lblPaused().Visible);
    EXPECT_EQ(g.form.mnuPause.Caption, "&Pause");
}

TEST(Music, WaitsForTheJingleWhenEffectsAreOn) {
    TestGame g;
    g.ticks(75);
    EXPECT_FALSE(g.form.MusicPlaying);
    g.soundLog.clear();
    g.ticks(1);
    EXPECT_TRUE(g.form.MusicPlaying);
    const std::vector<std::string> start = {"sndStart.stop", "sndMusic.stop", "sndMusic.setpos",
                                            "sndMusic.play"};
    EXPECT_EQ(g.soundLog, start);
}

TEST(Music, SwitchedOnBeforeTheJingleEndsWaitsForTick75) {
    TestGame g;
    g.form.mnuMusic_Click(); // off
    g.ticks(10);
    g.form.mnuMusic_Click(); // on, but the jingle is still due to end
    EXPECT_TRUE(g.form.mnuMusic.Checked);
    EXPECT_FALSE(g.form.MusicPlaying);
    g.ticks(66);
    EXPECT_TRUE(g.form.MusicPlaying);
}

TEST(Music, UncheckedAtTheStartMomentNeverStartsByItself) {
    TestGame g;
    g.form.mnuMusic_Click();
    g.ticks(200);
    EXPECT_FALSE(g.form.MusicPlaying);
    EXPECT_EQ(g.sndMusic.mode(), kModeStopped);
    g.form.mnuMusic_Click();
    EXPECT_TRUE(g.form.MusicPlaying);
    EXPECT_EQ(g.sndMusic.position(), 0);
}

TEST(Music, SwitchedOnWhilePausedStartsOnResume) {
    TestGame g;
    g.ticks(80);
    g.form.mnuMusic_Click();
    g.form.mnuPause_Click();
    g.form.mnuMusic_Click();
    EXPECT_FALSE(g.form.MusicPlaying);
    EXPECT_EQ(g.sndMusic.mode(), kModeStopped);
    g.form.mnuPause_Click();
    EXPECT_TRUE(g.form.MusicPlaying);
    EXPECT_EQ(g.sndMusic.mode(), kModePlaying);
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

TEST(Effects, SwitchingSilencesTheJingleAndTheCrash) {
    TestGame g;
    g.form.mnuEffects_Click();
    EXPECT_FALSE(g.form.mnuEffects.Checked);
    EXPECT_EQ(g.sndStart.mode(), kModeStopped);
    // With effects off the music does not wait for a jingle.
    g.form.mnuNew_Click();
    g.ticks(1);
    EXPECT_TRUE(g.form.MusicPlaying);
    g.form.mnuEffects_Click();
    EXPECT_TRUE(g.form.mnuEffects.Checked);
}

TEST(NewGame, MidGameOrPausedStartsAFreshRunningGame) {
    TestGame g(3);
    g.form.Form_KeyDown(kKeyUp);
    g.ticks(30);
    g.form.mnuPause_Click();
    g.form.mnuNew_Click();
    EXPECT_FALSE(g.form.lblPaused().Visible);
    EXPECT_EQ(g.form.mnuPause.Caption, "&Pause");
    EXPECT_EQ(g.form.lblInfo(8).Caption, "Pause");
    EXPECT_TRUE(g.form.tmrMain.Enabled);
    EXPECT_EQ(g.form.TickCount, 0);
    EXPECT_EQ(g.form.Speed, 0);
    EXPECT_EQ(g.form.Score, 0);
    EXPECT_FALSE(g.form.MusicPlaying);
    // The held key survives a new game: the car accelerates at once.
    g.ticks(1);
    EXPECT_EQ(g.form.UpHeld, 1);
}

} // namespace
} // namespace kestrada
