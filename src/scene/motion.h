// SPDX-License-Identifier: GPL-3.0-or-later
// Motion drawn between ticks. The last two ticks' scenes are kept; a frame
// at time t draws each moving item at previous + (current - previous) *
// alpha, alpha = (t - time of the current tick) / 40 ms, clamped to [0, 1].
// Only the drawing sees alpha: the rules, the recording and the trace
// never do.
#pragma once

#include "scene/scene.h"

#include <cstdint>
#include <optional>

namespace kestrada::scene {

// The furthest a sprite moves in one tick on its own (the car's top speed
// with a vehicle's own speed against it); further is a jump (a wrap to the
// top, a vehicle re-entering), drawn where it lands.
inline constexpr double kLongestMove = 64;

class Motion {
  public:
    // After a tick: the scene it left, its tick count, and when it fell.
    void ticked(Scene scene, int32_t tickCount, double atMs);

    // The frame at atMs. now is the scene composed from the model as it
    // stands, which a handler may have changed since the tick. still (paused,
    // over, a replay held) draws it as it is.
    Scene frame(Scene now, double atMs, bool still) const;

  private:
    struct Tick {
        Scene scene;
        int32_t count = 0;
        double at = 0;
    };
    std::optional<Tick> previous_;
    std::optional<Tick> current_;
};

} // namespace kestrada::scene
