// SPDX-License-Identifier: GPL-3.0-or-later
#include "scene/explosion.h"

namespace kestrada::scene {

ExplosionEffect::ExplosionEffect(const Control& boom) : where_(boom) {}

void ExplosionEffect::observe(const Control& boom) {
    if (boom.Left != where_.Left || boom.Top != where_.Top) {
        where_ = boom;
        ticksLeft_ = kTicks;
        ++hits_;
        return;
    }
    if (ticksLeft_ > 0) {
        --ticksLeft_;
    }
}

double ExplosionEffect::progress() const {
    return double(kTicks - ticksLeft_) / kTicks;
}

} // namespace kestrada::scene
