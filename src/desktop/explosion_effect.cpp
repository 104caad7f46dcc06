// SPDX-License-Identifier: GPL-3.0-or-later
#include "desktop/explosion_effect.h"

namespace kestrada::desktop {

ExplosionEffect::ExplosionEffect(const Control& boom) : where_(boom) {}

void ExplosionEffect::observe(const Control& boom) {
    if (boom.Left != where_.Left || boom.Top != where_.Top) {
        where_ = boom;
        framesLeft_ = kFrames;
        return;
    }
    if (framesLeft_ > 0) {
        --framesLeft_;
    }
}

double ExplosionEffect::progress() const {
    return double(kFrames - framesLeft_) / kFrames;
}

} // namespace kestrada::desktop
