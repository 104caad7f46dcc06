// SPDX-License-Identifier: GPL-3.0-or-later
#include "desktop/zoom_setting.h"

#include <QSettings>

namespace kestrada::desktop {

namespace {
const QString kZoomKey = QStringLiteral("window/zoom");

QSettings settings() {
    return QSettings(QStringLiteral("Kestrada"), QStringLiteral("kestrada"));
}
} // namespace

int savedZoom() {
    bool ok = false;
    const int zoom = settings().value(kZoomKey, kMinZoom).toInt(&ok);
    return ok && zoom >= kMinZoom && zoom <= kMaxZoom ? zoom : kMinZoom;
}

void saveZoom(int zoom) {
    settings().setValue(kZoomKey, zoom);
}

} // namespace kestrada::desktop
