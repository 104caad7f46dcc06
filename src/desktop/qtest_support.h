// SPDX-License-Identifier: GPL-3.0-or-later
// Shared by the window's Qt tests: a scratch data folder with the game's
// pictures, screenshots kept in the build tree for review, wave files.
#pragma once

#include "desktop/sprite_pictures.h"

#include <QDataStream>
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

// A mono 16-bit wave as long as asked: a quiet ramp that starts again every
// half second, so that within that every place holds a sample of its own.
inline bool writeWave(const QString& path, int milliseconds) {
    constexpr quint32 rate = 8000;
    const quint32 samples = rate * quint32(milliseconds) / 1000;
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        return false;
    }
    QDataStream out(&file);
    out.setByteOrder(QDataStream::LittleEndian);
    out.writeRawData("RIFF", 4);
    out << quint32(36 + samples * 2);
    out.writeRawData("WAVEfmt ", 8);
    out << quint32(16) << quint16(1) << quint16(1) << rate << quint32(rate * 2) << quint16(2)
        << quint16(16);
    out.writeRawData("data", 4);
    out << quint32(samples * 2);
    for (quint32 i = 0; i < samples; ++i) {
        out << qint16(i % (rate / 2) - 2000);
    }
    return out.status() == QDataStream::Ok;
}

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
