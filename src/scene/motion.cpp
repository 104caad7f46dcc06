// SPDX-License-Identifier: GPL-3.0-or-later
#include "scene/motion.h"

#include "scene/slot_clock.h"

#include <algorithm>
#include <cmath>

namespace kestrada::scene {

namespace {
const Item* find(const Scene& scene, const Item& item) {
    const auto it = std::find_if(scene.begin(), scene.end(), [&](const Item& other) {
        return other.key == item.key && other.kind == item.kind;
    });
    return it == scene.end() ? nullptr : &*it;
}

double between(double from, double to, double alpha) {
    return from + (to - from) * alpha;
}

bool jumps(const Rect& from, const Rect& to) {
    return std::abs(to.left - from.left) > kLongestMove ||
           std::abs(to.top - from.top) > kLongestMove;
}
} // namespace

void Motion::ticked(Scene scene, int32_t tickCount, double atMs) {
    previous_ = std::move(current_);
    current_ = Tick{std::move(scene), tickCount, atMs};
}

Scene Motion::frame(Scene now, double atMs, bool still) const {
    // A new game starts the count again: nothing carries over.
    if (still || !previous_ || previous_->count + 1 != current_->count) {
        return now;
    }
    const double alpha = std::clamp((atMs - current_->at) / kSlotMs, 0.0, 1.0);
    for (Item& item : now) {
        if (!item.moves) {
            continue;
        }
        const Item* atTick = find(current_->scene, item);
        const Item* before = find(previous_->scene, item);
        // Moved by a handler since the tick, appeared, changed picture or
        // jumped: drawn where it is.
        if (atTick == nullptr || !(*atTick == item) || before == nullptr ||
            before->picture != item.picture || jumps(before->rect, item.rect)) {
            continue;
        }
        item.rect = {between(before->rect.left, item.rect.left, alpha),
                     between(before->rect.top, item.rect.top, alpha),
                     between(before->rect.width, item.rect.width, alpha),
                     between(before->rect.height, item.rect.height, alpha)};
        item.opacity = between(before->opacity, item.opacity, alpha);
    }
    return now;
}

} // namespace kestrada::scene
