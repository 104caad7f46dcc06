// SPDX-License-Identifier: GPL-3.0-or-later
#include "desktop/frame_painter.h"

#include "desktop/label_styles.h"
#include "desktop/picture_catalogue.h"

#include <QString>
#include <cmath>

namespace kestrada::desktop {

namespace {
// Positions may be fractional; landing on whole device pixels keeps the
// images unscaled and sharp. dpr counts device pixels to a window pixel,
// the zoom included.
double snap(double v, qreal dpr) {
    return std::round(v * dpr) / dpr;
}

class ScenePainter {
  public:
    ScenePainter(QPainter& painter, const SpritePictures& pictures)
        : p_(painter), pictures_(pictures),
          dpr_(painter.device()->devicePixelRatioF() * painter.worldTransform().m11()) {}

    void paint(const scene::Item& item) {
        switch (item.kind) {
        case scene::ItemKind::Fill:
            p_.fillRect(place(item.rect), colourOf(item.colour));
            break;
        case scene::ItemKind::Picture:
            picture(item);
            break;
        case scene::ItemKind::Text:
            text(item);
            break;
        case scene::ItemKind::Line:
            line(item);
            break;
        }
    }

  private:
    QRectF place(const scene::Rect& r) const {
        return QRectF(snap(r.left, dpr_), snap(r.top, dpr_), r.width, r.height);
    }

    void picture(const scene::Item& item) {
        const QSize rendered(static_cast<int>(std::lround(item.pictureWidth)),
                             static_cast<int>(std::lround(item.pictureHeight)));
        const QImage& image = pictures_.image(item.picture, rendered);
        const QRectF target = place(item.rect);
        p_.setOpacity(item.opacity);
        if (image.isNull()) {
            p_.fillRect(target, placeholderColour(item.picture));
        } else if (image.deviceIndependentSize() == target.size()) {
            p_.drawImage(target.topLeft(), image);
        } else {
            p_.setRenderHint(QPainter::SmoothPixmapTransform);
            p_.drawImage(target, image);
            p_.setRenderHint(QPainter::SmoothPixmapTransform, false);
        }
        p_.setOpacity(1);
    }

    void text(const scene::Item& item) {
        const QRectF target = place(item.rect);
        if (item.background) {
            p_.fillRect(target, colourOf(*item.background));
        }
        p_.setFont(fontOf(item.style));
        p_.setPen(colourOf(item.style.colour));
        p_.drawText(target, textFlagsOf(item.style), QString::fromStdString(item.text));
    }

    void line(const scene::Item& item) {
        const scene::Rect& r = item.rect;
        p_.save();
        p_.setRenderHint(QPainter::Antialiasing);
        p_.setPen(QPen(colourOf(item.colour), item.lineWidth, Qt::SolidLine, Qt::RoundCap));
        p_.drawLine(QPointF(r.left, r.top), QPointF(r.left + r.width, r.top + r.height));
        p_.restore();
    }

    QPainter& p_;
    const SpritePictures& pictures_;
    qreal dpr_;
};
} // namespace

std::vector<PictureUse> pictureUses(const std::vector<scene::PictureSize>& sizes) {
    std::vector<PictureUse> uses;
    uses.reserve(sizes.size());
    for (const scene::PictureSize& size : sizes) {
        uses.push_back({size.picture, QSize(size.width, size.height)});
    }
    return uses;
}

void paintScene(QPainter& painter, const scene::Scene& scene, const SpritePictures& pictures) {
    ScenePainter drawer(painter, pictures);
    for (const scene::Item& item : scene) {
        drawer.paint(item);
    }
}

} // namespace kestrada::desktop
