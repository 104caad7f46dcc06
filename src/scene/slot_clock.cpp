// SPDX-License-Identifier: GPL-3.0-or-later
#include "scene/slot_clock.h"

namespace kestrada::scene {

int SlotClock::frame(double nowMs, bool counting) {
    double elapsed = lastFrame_ < 0 ? 0 : nowMs - lastFrame_;
    lastFrame_ = nowMs;
    if (elapsed > kLongestFrameMs) {
        elapsed = kSlotMs;
    }
    due_ = 0;
    if (!counting) {
        return 0;
    }
    accumulated_ += elapsed;
    while (accumulated_ >= kSlotMs) {
        accumulated_ -= kSlotMs;
        ++due_;
    }
    return due_;
}

double SlotClock::slotTime(int i) const {
    return lastFrame_ - accumulated_ - (due_ - 1 - i) * kSlotMs;
}

} // namespace kestrada::scene
