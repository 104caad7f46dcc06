// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/key_codes.h"
#include "session/slot_runner.h"
#include "testing/test_game.h"

#include <gtest/gtest.h>

namespace kestrada::session {
namespace {

InputEvent keyDown(int16_t code, uint32_t slot) {
    InputEvent event;
    event.slot = slot;
    event.keyCode = code;
    return event;
}

// A replay takes its file's input at its slots and none of the player's but
// Exit; while it is held, its slots stand still.
TEST(SlotRunner, AReplayPlaysItsFileAloneAndStandsStillWhileHeld) {
    testing::TestGame game(7);
    SlotRunner runner(game, game.form);
    runner.replay({keyDown(kKeyUp, 2)});
    runner.input(keyDown(kKeyLeft, 1));
    EXPECT_EQ(game.form.LeftHeld, 0);

    runner.hold(true);
    EXPECT_FALSE(runner.runSlot().ran);
    EXPECT_EQ(runner.slot(), 1u);
    runner.hold(false);
    EXPECT_TRUE(runner.runSlot().ran);
    EXPECT_EQ(game.form.UpHeld, 0);
    EXPECT_TRUE(runner.runSlot().ran);
    EXPECT_EQ(game.form.UpHeld, 1);

    InputEvent exit;
    exit.action = InputAction::Menu;
    exit.command = MenuCommand::mnuExit;
    runner.input(exit);
    EXPECT_TRUE(game.ended());
    EXPECT_FALSE(runner.runSlot().ran);
}

} // namespace
} // namespace kestrada::session
