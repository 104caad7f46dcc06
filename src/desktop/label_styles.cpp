// SPDX-License-Identifier: GPL-3.0-or-later
#include "desktop/label_styles.h"

#include <cmath>
#include <map>

namespace kestrada::desktop {

const QStringList& arialFamilies() {
    static const QStringList families{QStringLiteral("Arial"), QStringLiteral("Liberation Sans"),
                                      QStringLiteral("Arimo")};
    return families;
}

namespace {
// The design's fonts where installed, else free fonts that take their place.
const QStringList kVerdana{QStringLiteral("Verdana"), QStringLiteral("DejaVu Sans")};
const QStringList kComic{QStringLiteral("Comic Sans MS"), QStringLiteral("Comic Neue")};
const QStringList kArial = arialFamilies();

const QColor kBlack(0, 0, 0);
const QColor kWhite(255, 255, 255);
const QColor kOrange(255, 128, 0);
const QColor kRed(255, 0, 0);

constexpr int kCentred = Qt::AlignHCenter | Qt::AlignTop | Qt::TextWordWrap;
constexpr int kLeft = Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap;

QFont font(const QStringList& families, double points, bool bold, bool underline = false) {
    QFont f;
    f.setFamilies(families);
    f.setPixelSize(pointsToPixels(points));
    f.setBold(bold);
    f.setUnderline(underline);
    return f;
}

std::map<ControlId, LabelStyle> makeStyles() {
    using enum ControlId;
    std::map<ControlId, LabelStyle> styles;
    const LabelStyle readout{font(kVerdana, 9.75, true), kBlack, kCentred};
    styles[lblSpeed] = readout;
    styles[lblScore] = readout;
    styles[lblHighScore] = readout;
    styles[lblCredits] = {font(kArial, 9.75, false), kOrange, kLeft};
    styles[lblPaused] = {font(kComic, 72, true), kRed, kCentred};

    // The key legend: white underlined key names over their black meanings.
    const LabelStyle keyName{font(kArial, 9, true, true), kWhite, kCentred};
    const LabelStyle meaning{font(kArial, 9, true), kBlack, kCentred};
    for (const ControlId id : {lblInfo1, lblInfo7, lblInfo9, lblInfo3}) {
        styles[id] = keyName;
    }
    styles[lblInfo5] = {font(kArial, 9.75, true, true), kWhite, kCentred};
    for (const ControlId id : {lblInfo2, lblInfo8, lblInfo10, lblInfo4}) {
        styles[id] = meaning;
    }
    styles[lblInfo6] = {font(kArial, 9.75, true), kBlack, kCentred};

    styles[lblScoreTitle] = {font(kArial, 20.25, true, true), kWhite, kCentred};
    styles[cmdNewGame] = {font(kArial, 15.75, true), kBlack, Qt::AlignCenter | Qt::TextWordWrap};
    return styles;
}
} // namespace

int pointsToPixels(double points) {
    return static_cast<int>(std::lround(points * 96.0 / 72.0));
}

const LabelStyle& labelStyle(ControlId id) {
    static const std::map<ControlId, LabelStyle> styles = makeStyles();
    static const LabelStyle plain{font(kArial, 9, false), kBlack, kLeft};
    const auto it = styles.find(id);
    return it != styles.end() ? it->second : plain;
}

} // namespace kestrada::desktop
