// SPDX-License-Identifier: GPL-3.0-or-later
// The sprites' pictures, rasterised ahead of time. Rasterising an SVG costs
// far more than drawing a ready image, so every picture is rendered once
// per size it is drawn at and once per device pixel ratio, never while a
// frame is painted.
#pragma once

#include "desktop/picture_catalogue.h"

#include <QIcon>
#include <QImage>
#include <QSize>
#include <QString>
#include <array>
#include <map>
#include <memory>
#include <tuple>
#include <vector>

class QSvgRenderer;

namespace kestrada::desktop {

struct PictureUse {
    Picture picture;
    QSize size; // window pixels
};

class SpritePictures {
  public:
    // Reads every picture from the folder once. A missing or broken file
    // leaves a plain coloured placeholder in its place.
    explicit SpritePictures(const QString& pictureDir);
    ~SpritePictures();
    SpritePictures(const SpritePictures&) = delete;
    SpritePictures& operator=(const SpritePictures&) = delete;

    // devicePixelRatio counts device pixels to a window pixel of the design,
    // the window's zoom included.
    // Renders every use not yet rendered for this device pixel ratio; a new
    // ratio renders them all again. Cheap when nothing changed, so it can be
    // called whenever the ratio may have changed, and a few uses can be
    // rendered first and the rest later.
    void prepare(qreal devicePixelRatio, const std::vector<PictureUse>& uses);
    qreal devicePixelRatio() const { return dpr_; }

    // The picture as rendered for this size; if that size was never
    // prepared, the picture at some other size (the painter stretches it);
    // a null image if the picture was never prepared at all.
    const QImage& image(Picture picture, QSize size) const;

    // False when the file was missing or could not be read.
    bool hasArtwork(Picture picture) const;

    QIcon windowIcon() const;

  private:
    QImage render(Picture picture, QSize size, qreal dpr) const;

    std::array<std::unique_ptr<QSvgRenderer>, kPictureCount> renderers_;
    std::map<std::tuple<int, int, int>, QImage> images_;
    qreal dpr_ = 0;
};

} // namespace kestrada::desktop
