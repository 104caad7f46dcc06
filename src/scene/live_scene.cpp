// SPDX-License-Identifier: GPL-3.0-or-later
#include "scene/live_scene.h"

#include "app/running.h"
#include "scene/compose.h"

namespace kestrada::scene {

LiveScene::LiveScene(const Form& form) : explosion_(form.imgBoom()) {}

void LiveScene::ticked(const Form& form, double slotMs, const Scene& overlay) {
    explosion_.observe(form.imgBoom());
    motion_.ticked(composeScene(form, explosion_, overlay), form.TickCount, slotMs);
}

Scene LiveScene::frame(const Form& form, double nowMs, bool held, const Scene& overlay) const {
    Scene now = composeScene(form, explosion_, overlay);
    if (!smoothing_) {
        return now;
    }
    const bool still = held || !running(form);
    return motion_.frame(std::move(now), nowMs, still);
}

} // namespace kestrada::scene
