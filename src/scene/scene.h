// SPDX-License-Identifier: GPL-3.0-or-later
// What a frame shows, back to front, in the design's window pixels: a list
// of a few plain kinds of item that every front end draws with its own
// primitives. The front ends decide nothing about order, style or effect.
#pragma once

#include "app/control_pictures.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace kestrada::scene {

struct Colour {
    uint8_t red = 0;
    uint8_t green = 0;
    uint8_t blue = 0;

    uint32_t rgb() const { return uint32_t(red) << 16 | uint32_t(green) << 8 | blue; }
    bool operator==(const Colour&) const = default;
};

struct Rect {
    double left = 0;
    double top = 0;
    double width = 0;
    double height = 0;

    bool operator==(const Rect&) const = default;
};

// The design's fonts; each front end asks for them by the names below.
enum class FontFamily { Verdana, Arial, Comic };

// The family first, then the free fonts with its metrics.
const std::vector<std::string>& familyNames(FontFamily family);
// The generic family a browser falls back on: "sans-serif", "cursive".
const char* genericFamily(FontFamily family);

enum class Align { Left, Centre };

struct TextStyle {
    FontFamily family = FontFamily::Arial;
    int pixelSize = 12; // pixels at 96 dpi, so the layout is the same on every screen
    bool bold = false;
    bool underline = false;
    Colour colour;
    Align align = Align::Left;
    bool middle = false; // centred from top to bottom, as on a button; else from the top

    bool operator==(const TextStyle&) const = default;
};

enum class ItemKind {
    Fill,    // rect in colour
    Picture, // picture stretched over rect at opacity
    Text,    // text word-wrapped in rect, over background when it has one
    Line,    // from (left, top) to (left + width, top + height), round ends
};

struct Item {
    ItemKind kind = ItemKind::Fill;
    // Who the item is from one tick to the next, so motion can be drawn
    // between them.
    uint32_t key = 0;
    // Motion between ticks is drawn; false for what snaps from one value
    // to the next (numbers, the needle, the dashboard).
    bool moves = false;
    Rect rect;
    Colour colour;        // Fill, Line
    double lineWidth = 1; // Line
    Picture picture = Picture::Road;
    double pictureWidth = 0;  // the size the picture is rendered at, for
    double pictureHeight = 0; // sharpness; rect says where it is drawn
    double opacity = 1;
    std::string text;
    TextStyle style;
    std::optional<Colour> background;

    bool operator==(const Item&) const = default;
};

using Scene = std::vector<Item>;

// The size of the play area and the dashboard, in window pixels.
inline constexpr int kSceneWidth = 590;
inline constexpr int kSceneHeight = 477;
// The zooms a player chooses from in a window or a page.
inline constexpr int kMinZoom = 1;
inline constexpr int kMaxZoom = 4;

} // namespace kestrada::scene
