// SPDX-License-Identifier: GPL-3.0-or-later
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
    const auto press = [&f](std::initializer_list<int16_t> keys, bool down) {
        for (const int16_t key : keys) {
            down ? f.Form_KeyDown(key) : f.Form_KeyUp(key);
        }
    };
    press({kKeyUp, kKeyUp, kKeyDown, kKeyLeft, kKeyRight}, true); // a repeat changes nothing
    EXPECT_EQ(held(f), 4);
    press({kKeyUp, kKeyDown, kKeyRight}, false);
    EXPECT_EQ(held(f), 1);

    press({kKeyEsc, kKeyUp, kKey2, kKeySpace}, true);
    EXPECT_EQ(f.UpHeld + f.MissileInFlight, 0);
    EXPECT_EQ(f.WeaponChoice, 1);
    EXPECT_EQ(f.LeftHeld, 1); // held through the pause
    press({kKeyLeft}, false);
    EXPECT_EQ(f.LeftHeld, 0);
    press({kKeyEsc, kKeyUp}, true);
    EXPECT_EQ(f.UpHeld, 1);
    // Enter starts a new game only after a crash.
    g.ticks(3);
    f.Form_KeyDown(kKeyEnter);
    EXPECT_EQ(f.TickCount, 3);
}

} // namespace
} // namespace kestrada
