// SPDX-License-Identifier: GPL-3.0-or-later
#include "scene/label_styles.h"

#include <cmath>
#include <map>

namespace kestrada::scene {

const std::vector<std::string>& familyNames(FontFamily family) {
    // The design's fonts where installed, else free fonts that take their place.
    static const std::vector<std::string> verdana{"Verdana", "DejaVu Sans"};
    static const std::vector<std::string> arial{"Arial", "Liberation Sans", "Arimo"};
    static const std::vector<std::string> comic{"Comic Sans MS", "Comic Neue"};
    switch (family) {
    case FontFamily::Verdana:
        return verdana;
    case FontFamily::Comic:
        return comic;
    case FontFamily::Arial:
        break;
    }
    return arial;
}

const char* genericFamily(FontFamily family) {
    return family == FontFamily::Comic ? "cursive" : "sans-serif";
}

namespace {
constexpr Colour kBlack{0, 0, 0};
constexpr Colour kWhite{255, 255, 255};
constexpr Colour kOrange{255, 128, 0};
constexpr Colour kRed{255, 0, 0};

TextStyle style(FontFamily family, double points, bool bold, Colour colour, Align align,
                bool underline = false) {
    return {.family = family,
            .pixelSize = pointsToPixels(points),
            .bold = bold,
            .underline = underline,
            .colour = colour,
            .align = align};
}

std::map<ControlId, TextStyle> makeStyles() {
    using enum ControlId;
    using enum FontFamily;
    std::map<ControlId, TextStyle> styles;
    const TextStyle readout = style(Verdana, 9.75, true, kBlack, Align::Centre);
    styles[lblSpeed] = readout;
    styles[lblScore] = readout;
    styles[lblHighScore] = readout;
    styles[lblCredits] = style(Arial, 9.75, false, kOrange, Align::Left);
    styles[lblPaused] = style(Comic, 72, true, kRed, Align::Centre);

    // The key legend: white underlined key names over their black meanings.
    const TextStyle keyName = style(Arial, 9, true, kWhite, Align::Centre, true);
    const TextStyle meaning = style(Arial, 9, true, kBlack, Align::Centre);
    for (const ControlId id : {lblInfo1, lblInfo7, lblInfo9, lblInfo3}) {
        styles[id] = keyName;
    }
    styles[lblInfo5] = style(Arial, 9.75, true, kWhite, Align::Centre, true);
    for (const ControlId id : {lblInfo2, lblInfo8, lblInfo10, lblInfo4}) {
        styles[id] = meaning;
    }
    styles[lblInfo6] = style(Arial, 9.75, true, kBlack, Align::Centre);

    styles[lblScoreTitle] = style(Arial, 20.25, true, kWhite, Align::Centre, true);
    styles[cmdNewGame] = style(Arial, 15.75, true, kBlack, Align::Centre);
    styles[cmdNewGame].middle = true;
    return styles;
}
} // namespace

int pointsToPixels(double points) {
    return static_cast<int>(std::lround(points * 96.0 / 72.0));
}

const TextStyle& labelStyle(ControlId id) {
    static const std::map<ControlId, TextStyle> styles = makeStyles();
    static const TextStyle plain = style(FontFamily::Arial, 9, false, kBlack, Align::Left);
    const auto it = styles.find(id);
    return it != styles.end() ? it->second : plain;
}

} // namespace kestrada::scene
