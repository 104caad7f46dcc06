// SPDX-License-Identifier: GPL-3.0-or-later
#include "scene/ghost_overlay.h"

#include "scene/label_styles.h"

#include <algorithm>
#include <cstdlib>
#include <optional>
#include <utility>

namespace kestrada::scene {

namespace {
// Keys of their own, above every control's, so motion follows each.
enum GhostKey : uint32_t {
    kCarKey = 0xfff00000,
    kMarkerKey,
    kScoreKey,
    kWordsKey,
    kMissileKey,
    kMineKey
};

constexpr double kMarkerHeight = 16;
constexpr double kMarkerWidth = 96;
constexpr Colour kMarkerBackground{0, 0, 0};
constexpr Colour kMarkerText{255, 255, 255};

// The ghost's car as its own game shows it: in its box on the asphalt, by
// its picture alone on the verge, or its wreck; drawn raised by its lead.
std::optional<ControlId> ghostCar(const Form& ghost) {
    for (const ControlId id : {ControlId::picCar, ControlId::imgCar, ControlId::imgWreck}) {
        if (ghost.control(id).Visible) {
            return id;
        }
    }
    return std::nullopt;
}

// White on black over the road: the marker and the end words.
TextStyle boxStyle() {
    TextStyle style = labelStyle(ControlId::lblScore);
    style.colour = kMarkerText;
    style.align = Align::Centre;
    style.middle = true;
    return style;
}

// One of the ghost's pictures, faint, raised by its lead.
void faint(Scene& scene, uint32_t key, ControlId id, const GhostView& view) {
    const Control& c = view.ghost.control(id);
    Item& item = scene.emplace_back();
    item.kind = ItemKind::Picture;
    item.key = key;
    item.moves = true;
    item.rect = {c.Left, c.Top - double(view.gap), c.Width, c.Height};
    item.picture = *pictureOf(id);
    item.pictureWidth = c.Width;
    item.pictureHeight = c.Height;
    item.opacity = kGhostOpacity;
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
    if (const auto id = ghostCar(view.ghost)) {
        const Control* car = &view.ghost.control(*id);
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
            faint(scene, kCarKey, *id, view);
        }
    }
    // Its shot, where it has one out.
    for (const auto& [key, id] : {std::pair{kMissileKey, ControlId::imgMissileGo},
                                  std::pair{kMineKey, ControlId::imgMine}}) {
        if (view.ghost.control(id).Visible) {
            faint(scene, key, id, view);
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
