// SPDX-License-Identifier: GPL-3.0-or-later
// A short burst where a weapon struck. The game only moves its explosion
// sprite to the place of a hit and never shows it; the window notices the
// move and plays the burst there for a few frames.
#pragma once

#include "app/controls.h"

namespace kestrada::desktop {

class ExplosionEffect {
  public:
    static constexpr int kFrames = 6;

    // Takes the sprite's place at start-up, so that no burst plays for it.
    explicit ExplosionEffect(const Control& boom);

    // Called once per frame tick with the sprite as the tick left it.
    void observe(const Control& boom);

    bool active() const { return framesLeft_ > 0; }
    // 0 on the frame of the hit, rising towards 1 as the burst fades.
    double progress() const;
    // The sprite's rectangle at the hit.
    const Control& where() const { return where_; }

  private:
    Control where_;
    int framesLeft_ = 0;
};

} // namespace kestrada::desktop
