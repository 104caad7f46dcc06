// SPDX-License-Identifier: GPL-3.0-or-later
#include "scene/ghost_overlay.h"

#include "scene/label_styles.h"

#include <algorithm>
#include <cstdlib>

namespace kestrada::scene {

namespace {
// Keys of their own, above every control's, so motion follows each.
enum GhostKey : uint32_t { kCarKey = 0xfff00000, kMarkerKey, kScoreKey, kWordsKey };

constexpr double kMarkerHeight = 16;
constexpr double kMarkerWidth = 96;
constexpr Colour kMarkerBackground{0, 0, 0};
constexpr Colour kMarkerText{255, 255, 255};

// Drawn where the ghost's own car or wreck is, raised by its lead.
const Control* ghostCar(const Form& ghost) {
    if (ghost.imgCar().Visible) {
        return &ghost.imgCar();
    }
    return ghost.imgWreck().Visible ? &ghost.imgWreck() : nullptr;
}

// White on black over the road: the marker and the end words.
TextStyle boxStyle() {
    TextStyle style = labelStyle(ControlId::lblScore);
    style.colour = kMarkerText;
    style.align = Align::Centre;
    style.middle = true;
    return style;
}

Item text(uint32_t key, const Rect& rect, std::string words, TextStyle style) {
    Item item;
    item.kind = ItemKind::Text;
    item.key = key;
    item.rect = rect;
    item.text = std::move(words);
    item.style = style;
    return item;
}
} // namespace

Scene ghostOverlay(const Form& player, const GhostView& view) {
    Scene scene;
    const Control& road = player.imgRoad();
    const Control* car = ghostCar(view.ghost);
    if (car != nullptr) {
        const Rect at{car->Left, car->Top - double(view.gap), car->Width, car->Height};
        if (at.top + at.height <= road.Top || at.top >= road.Top + road.Height) {
            // Off the road: the marker at the edge it went past.
            const bool ahead = at.top < road.Top;
            const double top = ahead ? road.Top : road.Top + road.Height - kMarkerHeight;
            // Over the ghost's lane, clear of the key legend at the road's side.
            const double right = player.lblInfo(1).Left - kMarkerWidth;
            const double left =
                std::clamp(at.left + (at.width - kMarkerWidth) / 2, double(road.Left), right);
            TextStyle small = boxStyle();
            small.pixelSize = pointsToPixels(8);
            Item marker =
                text(kMarkerKey, {left, top, kMarkerWidth, kMarkerHeight},
                     (ahead ? "ahead " : "behind ") + std::to_string(std::llabs(view.gap)), small);
            marker.background = kMarkerBackground;
            scene.push_back(std::move(marker));
        } else {
            Item& item = scene.emplace_back();
            item.kind = ItemKind::Picture;
            item.key = kCarKey;
            item.moves = true;
            item.rect = at;
            item.picture = car == &view.ghost.imgCar() ? *pictureOf(ControlId::imgCar)
                                                       : *pictureOf(ControlId::imgWreck);
            item.pictureWidth = car->Width;
            item.pictureHeight = car->Height;
            item.opacity = kGhostOpacity;
        }
    }
    if (!view.words.empty()) {
        Item words = text(kWordsKey, {road.Left + 40, road.Top + 60, road.Width - 80, 28},
                          view.words, boxStyle());
        words.background = kMarkerBackground;
        scene.push_back(std::move(words));
    }
    const Control& score = player.lblScore();
    TextStyle style = labelStyle(ControlId::lblScore);
    style.pixelSize = pointsToPixels(8);
    style.bold = false;
    scene.push_back(text(kScoreKey, {score.Left, score.Top + score.Height, score.Width, 14},
                         "ghost " + view.ghost.lblScore().Caption, style));
    return scene;
}

} // namespace kestrada::scene
