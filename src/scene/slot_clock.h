// SPDX-License-Identifier: GPL-3.0-or-later
// The game's 40 ms slots counted out of the frames a front end draws, on a
// steady clock the front end reads (and a test steps by hand). Slots fall
// on multiples of 40 ms of counted time, whatever the screen's rate, so
// they never drift.
#pragma once

namespace kestrada::scene {

inline constexpr double kSlotMs = 40.0;
// Every slot that falls due runs, so a slow device drops frames, never
// game time. A frame later than this follows a stall (a page back from the
// background, a machine that stopped): the game goes on with one slot,
// never a burst of a stall's catch-up slots.
inline constexpr double kLongestFrameMs = 1000.0;

class SlotClock {
  public:
    // A frame at nowMs (milliseconds on a steady clock): the slots due now.
    // The first frame starts the clock. Time while counting is false (a
    // dialog holds the game) is not counted.
    int frame(double nowMs, bool counting = true);
    // When the i-th of the slots the last frame made due fell, 0 first.
    double slotTime(int i) const;

  private:
    double lastFrame_ = -1;
    double accumulated_ = 0;
    int due_ = 0;
};

} // namespace kestrada::scene
