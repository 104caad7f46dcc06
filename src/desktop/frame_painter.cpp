// SPDX-License-Identifier: GPL-3.0-or-later
#include "desktop/frame_painter.h"

#include "desktop/label_styles.h"

#include <QString>
#include <algorithm>
#include <cmath>

namespace kestrada::desktop {

namespace {
const QColor kCarBoxBackground(35, 35, 35);
const QColor kMedianBoxBackground(36, 36, 36);
const QColor kFrameBackground(0, 0, 0);
const QColor kButtonFace(255, 128, 0);
const QColor kNeedle(255, 0, 0);

// The explosion picture is rendered larger than its sprite so the burst
// stays sharp while it grows.
constexpr double kBoomGrowth = 2.0;

QSize sizeOf(const Control& c) {
    return QSize(static_cast<int>(std::lround(c.Width)), static_cast<int>(std::lround(c.Height)));
}

// Positions may be fractional; landing on whole device pixels keeps the
// images unscaled and sharp. dpr counts device pixels to a window pixel,
// the zoom included.
double snap(double v, qreal dpr) {
    return std::round(v * dpr) / dpr;
}

QRectF rectOf(const Control& c, QPointF origin, qreal dpr) {
    return QRectF(snap(origin.x() + c.Left, dpr), snap(origin.y() + c.Top, dpr), c.Width, c.Height);
}

class FramePainter {
  public:
    FramePainter(QPainter& painter, const Form& form, const SpritePictures& pictures,
                 const ExplosionEffect& explosion)
        : p_(painter), form_(form), pictures_(pictures), explosion_(explosion),
          dpr_(painter.device()->devicePixelRatioF() * painter.worldTransform().m11()) {}

    void paint() {
        for (auto it = form_.drawOrder.rbegin(); it != form_.drawOrder.rend(); ++it) {
            paintLower(*it);
        }
        for (auto it = kUpperLayerOrder.rbegin(); it != kUpperLayerOrder.rend(); ++it) {
            paintUpper(*it);
        }
    }

  private:
    void paintLower(ControlId id) {
        if (id == ControlId::linSpeed) {
            paintNeedle();
            return;
        }
        if (id == ControlId::imgBoom && explosion_.active()) {
            paintExplosion();
        }
        const Control& c = form_.control(id);
        if (!c.Visible) {
            return;
        }
        if (kindOf(id) == ControlKind::Label) {
            paintLabel(id, c, QPointF());
        } else if (const auto picture = pictureOf(id)) {
            paintPicture(*picture, c, rectOf(c, QPointF(), dpr_));
        }
    }

    void paintUpper(ControlId id) {
        const Control& c = form_.control(id);
        const Control& frame = form_.fraScores();
        switch (id) {
        case ControlId::picSplit:
            paintPictureBox(Picture::Median, kMedianBoxBackground, c);
            break;
        case ControlId::picCar:
            paintPictureBox(Picture::Car, kCarBoxBackground, c);
            break;
        case ControlId::fraScores:
            if (c.Visible) {
                p_.fillRect(rectOf(c, QPointF(), dpr_), kFrameBackground);
            }
            break;
        case ControlId::lblScoreTitle:
            // The frame's children sit inside it and vanish with it.
            if (frame.Visible && c.Visible) {
                paintLabel(id, c, QPointF(frame.Left, frame.Top));
            }
            break;
        case ControlId::cmdNewGame:
            if (frame.Visible && c.Visible) {
                paintButton(id, c, QPointF(frame.Left, frame.Top));
            }
            break;
        default:
            break;
        }
    }

    void paintPicture(Picture picture, const Control& c, const QRectF& target) {
        const QImage& image = pictures_.image(picture, sizeOf(c));
        if (image.isNull()) {
            p_.fillRect(target, placeholderColour(picture));
        } else if (image.deviceIndependentSize() == target.size()) {
            p_.drawImage(target.topLeft(), image);
        } else {
            p_.drawImage(target, image);
        }
    }

    void paintPictureBox(Picture picture, const QColor& background, const Control& c) {
        if (!c.Visible) {
            return;
        }
        const QRectF target = rectOf(c, QPointF(), dpr_);
        p_.fillRect(target, background);
        paintPicture(picture, c, target);
    }

    void paintLabel(ControlId id, const Control& c, QPointF origin) {
        if (c.Caption.empty()) {
            return;
        }
        const LabelStyle& style = labelStyle(id);
        p_.setFont(style.font);
        p_.setPen(style.colour);
        QString text = QString::fromStdString(c.Caption);
        text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
        p_.drawText(rectOf(c, origin, dpr_), style.flags, text);
    }

    void paintButton(ControlId id, const Control& c, QPointF origin) {
        const QRectF r = rectOf(c, origin, dpr_);
        p_.fillRect(r, kButtonFace);
        p_.setPen(QColor(255, 255, 255));
        p_.drawLine(r.topLeft(), r.topRight() - QPointF(1, 0));
        p_.drawLine(r.topLeft(), r.bottomLeft() - QPointF(0, 1));
        p_.setPen(QColor(64, 64, 64));
        p_.drawLine(r.bottomLeft() - QPointF(0, 1), r.bottomRight() - QPointF(1, 1));
        p_.drawLine(r.topRight() - QPointF(1, 0), r.bottomRight() - QPointF(1, 1));
        paintLabel(id, c, origin);
    }

    void paintNeedle() {
        const Line& line = form_.linSpeed;
        if (!line.Visible) {
            return;
        }
        p_.save();
        p_.setRenderHint(QPainter::Antialiasing);
        p_.setPen(QPen(kNeedle, 2.0, Qt::SolidLine, Qt::RoundCap));
        p_.drawLine(QPointF(line.X1, line.Y1), QPointF(line.X2, line.Y2));
        p_.restore();
    }

    // The burst grows to nearly twice the sprite and fades as it goes.
    void paintExplosion() {
        const Control& at = explosion_.where();
        const double t = explosion_.progress();
        const double scale = 1.0 + 0.8 * t;
        const QSizeF size(at.Width * scale, at.Height * scale);
        const QPointF centre(at.Left + at.Width / 2.0, at.Top + at.Height / 2.0);
        const QRectF target(centre - QPointF(size.width() / 2, size.height() / 2), size);
        const QImage& image = pictures_.image(Picture::Boom, boomImageSize(at));
        p_.save();
        p_.setOpacity(1.0 - 0.75 * t);
        p_.setRenderHint(QPainter::SmoothPixmapTransform);
        if (image.isNull()) {
            p_.fillRect(target, placeholderColour(Picture::Boom));
        } else {
            p_.drawImage(target, image);
        }
        p_.restore();
    }

  public:
    static QSize boomImageSize(const Control& boom) {
        return QSize(static_cast<int>(std::lround(boom.Width * kBoomGrowth)),
                     static_cast<int>(std::lround(boom.Height * kBoomGrowth)));
    }

  private:
    QPainter& p_;
    const Form& form_;
    const SpritePictures& pictures_;
    const ExplosionEffect& explosion_;
    qreal dpr_;
};
} // namespace

std::vector<PictureUse> picturesUsedBy(const Form& form) {
    std::vector<PictureUse> uses;
    for (std::size_t i = 0; i < kControlCount; ++i) {
        const auto id = static_cast<ControlId>(i);
        if (const auto picture = pictureOf(id)) {
            uses.push_back({*picture, sizeOf(form.control(id))});
        }
    }
    uses.push_back({Picture::Boom, FramePainter::boomImageSize(form.imgBoom())});
    return uses;
}

std::vector<PictureUse> picturesShownBy(const Form& form) {
    std::vector<PictureUse> uses;
    for (std::size_t i = 0; i < kControlCount; ++i) {
        const auto id = static_cast<ControlId>(i);
        const auto picture = pictureOf(id);
        if (picture && form.control(id).Visible) {
            uses.push_back({*picture, sizeOf(form.control(id))});
        }
    }
    return uses;
}

void paintFrame(QPainter& painter, const Form& form, const SpritePictures& pictures,
                const ExplosionEffect& explosion) {
    FramePainter(painter, form, pictures, explosion).paint();
}

} // namespace kestrada::desktop
