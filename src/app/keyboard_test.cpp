#include "app/key_codes.h"
#include "testing/test_game.h"

#include <gtest/gtest.h>

namespace kestrada {
namespace {

using testing::TestGame;

TEST(Keys, ArrowsAreLevelsSetOnPressAndClearedOnRelease) {
    TestGame g;
    Form& f = g.form;
    f.Form_KeyDown(kKeyUp);
    f.Form_KeyDown(kKeyUp); // a repeat changes nothing
    f.Form_KeyDown(kKeyDown);
    f.Form_KeyDown(kKeyLeft);
    f.Form_KeyDown(kKeyRight);
    EXPECT_EQ(f.UpHeld + f.DownHeld + f.LeftHeld + f.RightHeld, 4);
    f.Form_KeyUp(kKeyUp);
    f.Form_KeyUp(kKeyDown);
    f.Form_KeyUp(kKeyLeft);
    f.Form_KeyUp(kKeyRight);
    EXPECT_EQ(f.UpHeld + f.DownHeld + f.LeftHeld + f.RightHeld, 0);
}

TEST(Keys, WhilePausedPressesAreIgnoredButReleasesCount) {
    TestGame g;
    Form& f = g.form;
    f.Form_KeyDown(kKeyLeft);
    f.Form_KeyDown(kKeyEsc);
    f.Form_KeyDown(kKeyUp);
    f.Form_KeyDown(kKey2);
    f.Form_KeyDown(kKeySpace);
    EXPECT_EQ(f.UpHeld, 0);
    EXPECT_EQ(f.WeaponChoice, 1);
    EXPECT_EQ(f.MissileInFlight, 0);
    EXPECT_EQ(f.LeftHeld, 1); // held through the pause
    f.Form_KeyUp(kKeyLeft);
    EXPECT_EQ(f.LeftHeld, 0);
    f.Form_KeyDown(kKeyEsc);
    f.Form_KeyDown(kKeyUp);
    EXPECT_EQ(f.UpHeld, 1);
}

TEST(Keys, EnterStartsANewGameOnlyAfterACrash) {
    TestGame g;
    g.form.Form_KeyDown(kKeyUp);
    g.ticks(5);
    const int32_t ticks = g.form.TickCount;
    g.form.Form_KeyDown(kKeyEnter);
    EXPECT_EQ(g.form.TickCount, ticks);
    g.form.Die();
    g.form.Form_KeyDown(kKeyEnter);
    EXPECT_FALSE(g.form.GameOver);
    EXPECT_EQ(g.form.TickCount, 0);
}

TEST(Keys, WeaponKeysSwitchAtAnyTimeAndSpaceAimsOnce) {
    TestGame g;
    Form& f = g.form;
    f.Form_KeyDown(kKey2);
    EXPECT_EQ(f.WeaponChoice, 2);
    f.imgMissile().Left = 10;
    f.imgMissile().Top = 20;
    f.Form_KeyDown(kKeySpace);
    EXPECT_EQ(f.MissileInFlight, 1);
    EXPECT_EQ(f.imgMissileGo().Left, 10.0f);
    EXPECT_EQ(f.imgMissileGo().Top, 20.0f);
    f.imgMissile().Left = 99;
    f.Form_KeyDown(kKeySpace); // refused while the shot is out
    EXPECT_EQ(f.imgMissileGo().Left, 10.0f);
    f.Form_KeyDown(kKey1);
    EXPECT_EQ(f.WeaponChoice, 1);
}

TEST(Keys, UnknownCodesAndKeysAfterACrashChangeNothingTheyShouldNot) {
    TestGame g;
    g.form.Die();
    const Form before = g.form;
    for (int code = 0; code < 256; ++code) {
        if (code == kKeyEnter || code == kKeyUp || code == kKeyDown || code == kKeyLeft ||
            code == kKeyRight || code == kKey1 || code == kKey2 || code == kKeySpace) {
            continue;
        }
        g.form.Form_KeyDown(static_cast<int16_t>(code));
        g.form.Form_KeyUp(static_cast<int16_t>(code));
    }
    EXPECT_TRUE(g.form == before);
}

} // namespace
} // namespace kestrada
