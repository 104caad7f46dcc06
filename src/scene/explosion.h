// SPDX-License-Identifier: GPL-3.0-or-later
// A short burst where a weapon struck. The game only moves its explosion
// sprite to the place of a hit and never shows it; the scene notices the
// move and plays the burst there for a few ticks, growing and fading.
#pragma once

#include "app/controls.h"

#include <cstdint>

namespace kestrada::scene {

class ExplosionEffect {
  public:
    static constexpr int kTicks = 6;

    // Takes the sprite's place at start-up, so that no burst plays for it.
    explicit ExplosionEffect(const Control& boom);

    // Called once per tick with the sprite as the tick left it.
    void observe(const Control& boom);

    bool active() const { return ticksLeft_ > 0; }
    // 0 on the tick of the hit, rising towards 1 as the burst fades.
    double progress() const;
    // The sprite's rectangle at the hit.
    const Control& where() const { return where_; }
    // Hits so far: a new burst is another than the one before it.
    uint32_t hits() const { return hits_; }

  private:
    Control where_;
    int ticksLeft_ = 0;
    uint32_t hits_ = 0;
};

} // namespace kestrada::scene
