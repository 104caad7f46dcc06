// SPDX-License-Identifier: GPL-3.0-or-later
#include "scene/compose.h"

#include "scene/label_styles.h"

#include <algorithm>
#include <cmath>
#include <iterator>

namespace kestrada::scene {

namespace {
constexpr Colour kWindowBackground{192, 192, 192};
constexpr Colour kCarBoxBackground{35, 35, 35};
constexpr Colour kMedianBoxBackground{36, 36, 36};
constexpr Colour kFrameBackground{0, 0, 0};
constexpr Colour kButtonFace{255, 128, 0};
constexpr Colour kButtonLight{255, 255, 255};
constexpr Colour kButtonShadow{64, 64, 64};
constexpr Colour kNeedle{255, 0, 0};
constexpr double kNeedleWidth = 2;

// The explosion picture is rendered larger than its sprite so the burst
// stays sharp while it grows to nearly twice the sprite.
constexpr double kBoomRendered = 2.0;
constexpr double kBoomGrowth = 0.8;
constexpr double kBoomFade = 0.75;

// An item's key: the control, and which of its parts (a burst's also
// counts the hits, above these bits).
enum Part : uint32_t { Body, Background, EdgeTop, EdgeLeft, EdgeBottom, EdgeRight, Burst };
constexpr uint32_t kBackgroundKey = 0xffff;

uint32_t keyOf(ControlId id, Part part = Body) {
    return uint32_t(id) << 4 | part;
}

// The dashboard and its weapon lamps stand still: they snap.
bool isDashboard(ControlId id) {
    using enum ControlId;
    return id == imgDash || id == imgCracked || id == ShowMissile || id == ShowMine;
}

Rect rectOf(const Control& c, double left = 0, double top = 0) {
    return {left + c.Left, top + c.Top, c.Width, c.Height};
}

int whole(double v) {
    return static_cast<int>(std::lround(v));
}

class Composer {
  public:
    Composer(const Form& form, const ExplosionEffect& explosion)
        : form_(form), explosion_(explosion) {}

    Scene compose(const Scene& overlay) {
        fill(kBackgroundKey, {0, 0, kSceneWidth, kSceneHeight}, kWindowBackground);
        for (auto it = form_.drawOrder.rbegin(); it != form_.drawOrder.rend(); ++it) {
            lower(*it);
        }
        // The overlay's pictures go under the boxes over the road, as the
        // game's own do; its words over them, where they can always be read.
        std::copy_if(overlay.begin(), overlay.end(), std::back_inserter(scene_),
                     [](const Item& item) { return item.kind != ItemKind::Text; });
        for (auto it = kUpperLayerOrder.rbegin(); it != kUpperLayerOrder.rend(); ++it) {
            upper(*it);
        }
        std::copy_if(overlay.begin(), overlay.end(), std::back_inserter(scene_),
                     [](const Item& item) { return item.kind == ItemKind::Text; });
        return std::move(scene_);
    }

  private:
    void lower(ControlId id) {
        if (id == ControlId::linSpeed) {
            needle();
            return;
        }
        if (id == ControlId::imgBoom && explosion_.active()) {
            burst();
        }
        const Control& c = form_.control(id);
        if (!c.Visible) {
            return;
        }
        if (kindOf(id) == ControlKind::Label) {
            text(id, rectOf(c));
        } else if (const auto shown = pictureOf(id)) {
            picture(id, *shown, c);
        }
    }

    void upper(ControlId id) {
        const Control& c = form_.control(id);
        const Control& frame = form_.fraScores();
        switch (id) {
        case ControlId::picSplit:
            pictureBox(id, kMedianBoxBackground);
            break;
        case ControlId::picCar:
            pictureBox(id, kCarBoxBackground);
            break;
        case ControlId::fraScores:
            if (c.Visible) {
                fill(keyOf(id), rectOf(c), kFrameBackground);
            }
            break;
        case ControlId::lblScoreTitle:
            // The frame's children sit inside it and vanish with it.
            if (frame.Visible && c.Visible) {
                text(id, rectOf(c, frame.Left, frame.Top));
            }
            break;
        case ControlId::cmdNewGame:
            if (frame.Visible && c.Visible) {
                button(id, rectOf(c, frame.Left, frame.Top));
            }
            break;
        default:
            break;
        }
    }

    Item& add(ItemKind kind, uint32_t key, const Rect& r) {
        Item& item = scene_.emplace_back();
        item.kind = kind;
        item.key = key;
        item.rect = r;
        return item;
    }

    void fill(uint32_t key, const Rect& r, Colour colour) {
        add(ItemKind::Fill, key, r).colour = colour;
    }

    void picture(ControlId id, Picture shown, const Control& c) {
        Item& item = add(ItemKind::Picture, keyOf(id), rectOf(c));
        item.moves = !isDashboard(id);
        item.picture = shown;
        item.pictureWidth = c.Width;
        item.pictureHeight = c.Height;
    }

    void pictureBox(ControlId id, Colour background) {
        const Control& c = form_.control(id);
        if (!c.Visible) {
            return;
        }
        fill(keyOf(id, Background), rectOf(c), background);
        scene_.back().moves = true;
        picture(id, *pictureOf(id), c);
    }

    void text(ControlId id, const Rect& r) {
        const std::string& caption = form_.control(id).Caption;
        if (caption.empty()) {
            return;
        }
        Item& item = add(ItemKind::Text, keyOf(id), r);
        item.text = newlines(caption);
        item.style = labelStyle(id);
    }

    static std::string newlines(const std::string& caption) {
        std::string out;
        for (std::size_t i = 0; i < caption.size(); ++i) {
            if (caption[i] == '\r' && i + 1 < caption.size() && caption[i + 1] == '\n') {
                continue;
            }
            out += caption[i];
        }
        return out;
    }

    void button(ControlId id, const Rect& r) {
        fill(keyOf(id, Background), r, kButtonFace);
        fill(keyOf(id, EdgeTop), {r.left, r.top, r.width, 1}, kButtonLight);
        fill(keyOf(id, EdgeLeft), {r.left, r.top, 1, r.height}, kButtonLight);
        fill(keyOf(id, EdgeBottom), {r.left, r.top + r.height - 1, r.width, 1}, kButtonShadow);
        fill(keyOf(id, EdgeRight), {r.left + r.width - 1, r.top, 1, r.height}, kButtonShadow);
        text(id, r);
    }

    void needle() {
        const Line& line = form_.linSpeed;
        if (!line.Visible) {
            return;
        }
        Item& item = add(ItemKind::Line, keyOf(ControlId::linSpeed),
                         {line.X1, line.Y1, line.X2 - line.X1, line.Y2 - line.Y1});
        item.colour = kNeedle;
        item.lineWidth = kNeedleWidth;
    }

    void burst() {
        const Control& at = explosion_.where();
        const double t = explosion_.progress();
        const double scale = 1.0 + kBoomGrowth * t;
        const double width = at.Width * scale;
        const double height = at.Height * scale;
        Item& item = add(
            ItemKind::Picture, keyOf(ControlId::imgBoom, Burst),
            {at.Left + (at.Width - width) / 2, at.Top + (at.Height - height) / 2, width, height});
        item.moves = true;
        item.picture = Picture::Boom;
        item.pictureWidth = whole(at.Width * kBoomRendered);
        item.pictureHeight = whole(at.Height * kBoomRendered);
        item.opacity = 1.0 - kBoomFade * t;
    }

    const Form& form_;
    const ExplosionEffect& explosion_;
    Scene scene_;
};
} // namespace

uint32_t sceneKey(ControlId id) {
    return keyOf(id);
}

Scene composeScene(const Form& form, const ExplosionEffect& explosion, const Scene& overlay) {
    return Composer(form, explosion).compose(overlay);
}

std::vector<PictureSize> picturesUsedBy(const Form& form) {
    std::vector<PictureSize> uses;
    for (std::size_t i = 0; i < kControlCount; ++i) {
        const auto id = static_cast<ControlId>(i);
        if (const auto picture = pictureOf(id)) {
            const Control& c = form.control(id);
            uses.push_back({*picture, whole(c.Width), whole(c.Height)});
        }
    }
    const Control& boom = form.imgBoom();
    uses.push_back(
        {Picture::Boom, whole(boom.Width * kBoomRendered), whole(boom.Height * kBoomRendered)});
    return uses;
}

std::vector<PictureSize> picturesIn(const Scene& scene) {
    std::vector<PictureSize> uses;
    for (const Item& item : scene) {
        if (item.kind == ItemKind::Picture) {
            uses.push_back({item.picture, whole(item.pictureWidth), whole(item.pictureHeight)});
        }
    }
    return uses;
}

} // namespace kestrada::scene
