// SPDX-License-Identifier: GPL-3.0-or-later
// Shared by the window's Qt tests: a scratch data folder with the game's
// pictures, screenshots kept in the build tree for review.
#pragma once

#include "desktop/sprite_pictures.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QPainter>
#include <QString>
#include <QTemporaryDir>
#include <filesystem>

namespace kestrada::desktop::testing {

// A fresh program folder with the built pictures and no wave files or high score:
// the game must run silently from it.
class ScratchDataDir {
  public:
    ScratchDataDir() {
        QFile::link(QStringLiteral(KESTRADA_PICTURE_DIR),
                    dir_.filePath(QStringLiteral("pictures")));
    }
    std::filesystem::path fsPath() const { return dir_.path().toStdString(); }
    QString filePath(const QString& name) const { return dir_.filePath(name); }

  private:
    QTemporaryDir dir_;
};

inline void saveScreenshot(const QImage& image, const QString& name) {
    const QDir dir(QStringLiteral(KESTRADA_SCREENSHOT_DIR));
    dir.mkpath(QStringLiteral("."));
    image.save(dir.filePath(name));
}

// The same pixels, whatever the images' formats.
inline bool samePixels(const QImage& a, const QImage& b) {
    return a.convertToFormat(QImage::Format_ARGB32) == b.convertToFormat(QImage::Format_ARGB32);
}

// The car's hit box as the window should show it: the box's own background
// under the car picture, at the given device pixel ratio.
inline QImage expectedCarBox(const SpritePictures& pictures, QSize size, qreal dpr) {
    QImage box(size * dpr, QImage::Format_ARGB32_Premultiplied);
    box.setDevicePixelRatio(dpr);
    box.fill(QColor(35, 35, 35));
    QPainter painter(&box);
    painter.drawImage(QPointF(0, 0), pictures.image(Picture::Car, size));
    return box;
}

} // namespace kestrada::desktop::testing
