#include "app/key_codes.h"
#include "testing/test_game.h"

#include <gtest/gtest.h>

namespace kestrada {
namespace {

using testing::TestGame;

int held(const Form& f) {
    return f.UpHeld + f.DownHeld + f.LeftHeld + f.RightHeld;
}

TEST(Keys, ArrowsAreLevelsAndOnlyTheirReleasesCountWhilePaused) {
    TestGame g;
    Form& f = g.form;
    for (int16_t key : {kKeyUp, kKeyUp, kKeyDown, kKeyLeft, kKeyRight}) {
        f.Form_KeyDown(key); // a repeat changes nothing
    }
    EXPECT_EQ(held(f), 4);
    for (int16_t key : {kKeyUp, kKeyDown, kKeyRight}) {
        f.Form_KeyUp(key);
    }
    EXPECT_EQ(held(f), 1);

    f.Form_KeyDown(kKeyEsc);
    for (int16_t key : {kKeyUp, kKey2, kKeySpace}) {
        f.Form_KeyDown(key);
    }
    EXPECT_EQ(f.UpHeld, 0);
    EXPECT_EQ(f.WeaponChoice, 1);
    EXPECT_EQ(f.MissileInFlight, 0);
    EXPECT_EQ(f.LeftHeld, 1); // held through the pause
    f.Form_KeyUp(kKeyLeft);
    EXPECT_EQ(f.LeftHeld, 0);
    f.Form_KeyDown(kKeyEsc);
    f.Form_KeyDown(kKeyUp);
    EXPECT_EQ(f.UpHeld, 1);
    // Enter starts a new game only after a crash.
    g.ticks(3);
    f.Form_KeyDown(kKeyEnter);
    EXPECT_EQ(f.TickCount, 3);
}

} // namespace
} // namespace kestrada
