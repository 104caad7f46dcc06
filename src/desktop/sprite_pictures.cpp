// SPDX-License-Identifier: GPL-3.0-or-later
#include "desktop/sprite_pictures.h"

#include <QDir>
#include <QFile>
#include <QPainter>
#include <QPixmap>
#include <QSvgRenderer>

namespace kestrada::desktop {

namespace {
bool isOpaque(const QImage& image) {
    for (int y = 0; y < image.height(); ++y) {
        const auto* row = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            if (qAlpha(row[x]) != 255) {
                return false;
            }
        }
    }
    return true;
}

std::tuple<int, int, int> keyOf(Picture picture, QSize size) {
    return {static_cast<int>(picture), size.width(), size.height()};
}
} // namespace

SpritePictures::SpritePictures(const QString& pictureDir) {
    const QDir dir(pictureDir);
    for (int i = 0; i < kPictureCount; ++i) {
        const QString file = dir.filePath(pictureFileName(static_cast<Picture>(i)));
        if (!QFile::exists(file)) {
            continue; // not drawn yet: a placeholder stands in
        }
        auto renderer = std::make_unique<QSvgRenderer>(file);
        if (renderer->isValid()) {
            renderers_[static_cast<std::size_t>(i)] = std::move(renderer);
        }
    }
}

SpritePictures::~SpritePictures() = default;

bool SpritePictures::hasArtwork(Picture picture) const {
    return renderers_[static_cast<std::size_t>(picture)] != nullptr;
}

void SpritePictures::prepare(qreal devicePixelRatio, const std::vector<PictureUse>& uses) {
    if (devicePixelRatio != dpr_) {
        dpr_ = devicePixelRatio;
        images_.clear();
    }
    for (const PictureUse& use : uses) {
        const auto key = keyOf(use.picture, use.size);
        if (!images_.contains(key)) {
            images_.emplace(key, render(use.picture, use.size, dpr_));
        }
    }
}

QImage SpritePictures::render(Picture picture, QSize size, qreal dpr) const {
    QImage image(size * dpr, QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(dpr);
    QSvgRenderer* renderer = renderers_[static_cast<std::size_t>(picture)].get();
    if (renderer == nullptr) {
        image.fill(placeholderColour(picture));
        return image;
    }
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    renderer->render(&painter, QRectF(QPointF(0, 0), QSizeF(size)));
    painter.end();
    if (isOpaque(image)) {
        // Copied, not blended, onto the frame: the road and the dashboard
        // cover most of it, and blending them dominated a zoomed frame.
        image.reinterpretAsFormat(QImage::Format_RGB32);
    }
    return image;
}

const QImage& SpritePictures::image(Picture picture, QSize size) const {
    if (auto it = images_.find(keyOf(picture, size)); it != images_.end()) {
        return it->second;
    }
    // Any size of the same picture will do; the painter stretches it.
    const auto first = images_.lower_bound({static_cast<int>(picture), 0, 0});
    if (first != images_.end() && std::get<0>(first->first) == static_cast<int>(picture)) {
        return first->second;
    }
    static const QImage none;
    return none;
}

QIcon SpritePictures::windowIcon() const {
    QIcon icon;
    for (const int side : {16, 32, 48, 64}) {
        icon.addPixmap(QPixmap::fromImage(render(Picture::Icon, QSize(side, side), 1.0)));
    }
    return icon;
}

} // namespace kestrada::desktop
