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
// Exit and Esc; while Esc holds it, its slots stand still and its sound is
// silent, and its music plays on when it is resumed.
TEST(SlotRunner, AReplayPlaysItsFileAloneAndStandsStillWhileHeld) {
    testing::TestGame game(7);
    SlotRunner runner(game, game.form);
    runner.replay({keyDown(kKeyUp, 2)});
    runner.input(keyDown(kKeyLeft, 1));
    EXPECT_EQ(game.form.LeftHeld, 0);

    game.sndMusic.play();
    runner.input(keyDown(kKeyEsc, 1));
    EXPECT_EQ(game.sndMusic.mode(), kModeStopped);
    EXPECT_FALSE(runner.runSlot().ran);
    EXPECT_EQ(runner.slot(), 1u);
    runner.input(keyDown(kKeyEsc, 1));
    EXPECT_EQ(game.sndMusic.mode(), kModePlaying);
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
