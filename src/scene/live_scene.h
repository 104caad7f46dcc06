// SPDX-License-Identifier: GPL-3.0-or-later
// The scene as a front end draws it, frame by frame: composed from the
// model, the burst of a hit played over the ticks, and motion drawn between
// ticks unless the player asked for the plain steps.
#pragma once

#include "app/form.h"
#include "scene/explosion.h"
#include "scene/motion.h"
#include "scene/scene.h"

namespace kestrada::scene {

class LiveScene {
  public:
    explicit LiveScene(const Form& form);

    // Off: every frame shows the model as the last tick left it.
    void setSmoothing(bool on) { smoothing_ = on; }
    bool smoothing() const { return smoothing_; }

    // After each tick, with when its slot fell on the front end's clock;
    // overlay as composeScene takes it.
    void ticked(const Form& form, double slotMs, const Scene& overlay = {});
    // What a frame at nowMs shows; held: a replay stands still.
    Scene frame(const Form& form, double nowMs, bool held = false, const Scene& overlay = {}) const;

    const ExplosionEffect& explosion() const { return explosion_; }

  private:
    ExplosionEffect explosion_;
    Motion motion_;
    bool smoothing_ = true;
};

} // namespace kestrada::scene
