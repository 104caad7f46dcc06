// SPDX-License-Identifier: GPL-3.0-or-later
#include "desktop/zoom_setting.h"

#include "scene/scene.h"

#include <QSettings>

namespace kestrada::desktop {

namespace {
const QString kZoomKey = QStringLiteral("window/zoom");
const QString kSmoothingKey = QStringLiteral("window/smoothing");
const QString kServerKey = QStringLiteral("world/server");
const QString kRaceLeaderKey = QStringLiteral("world/raceLeader");

QSettings settings() {
    return QSettings(QStringLiteral("Kestrada"), QStringLiteral("kestrada"));
}
} // namespace

int savedZoom() {
    bool ok = false;
    const int zoom = settings().value(kZoomKey, scene::kMinZoom).toInt(&ok);
    return ok && zoom >= scene::kMinZoom && zoom <= scene::kMaxZoom ? zoom : scene::kMinZoom;
}

void saveZoom(int zoom) {
    settings().setValue(kZoomKey, zoom);
}

bool savedSmoothing() {
    return settings().value(kSmoothingKey, true).toBool();
}

void saveSmoothing(bool on) {
    settings().setValue(kSmoothingKey, on);
}

bool savedRaceLeader() {
    return settings().value(kRaceLeaderKey, true).toBool();
}

void saveRaceLeader(bool on) {
    settings().setValue(kRaceLeaderKey, on);
}

std::string savedServer() {
    return settings().value(kServerKey).toString().toStdString();
}

void saveServer(const std::string& url) {
    settings().setValue(kServerKey, QString::fromStdString(url));
}

} // namespace kestrada::desktop
