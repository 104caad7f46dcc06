// SPDX-License-Identifier: GPL-3.0-or-later
// The client area of the main window: paints the scene of the model, with
// motion between ticks, and keeps the sprites' pictures ready for the
// screen the window is on.
#pragma once

#include "app/form.h"
#include "desktop/sprite_pictures.h"
#include "play/play.h"
#include "scene/scene.h"

#include <QWidget>

namespace kestrada::desktop {

class PlayField : public QWidget {
    Q_OBJECT

  public:
    static constexpr int kWidth = scene::kSceneWidth;
    static constexpr int kHeight = scene::kSceneHeight;

    PlayField(session::Play& play, const QString& pictureDir, QWidget* parent = nullptr);

    // Draws the whole play area this many times larger (1 to 4 in a
    // window, as many as fit in full screen); the game's own coordinates
    // stay those of the design.
    void setZoom(int zoom);
    int zoom() const { return zoom_; }

    // Filling, the widget takes whatever size the window gives it and draws
    // the play area centred in the window, on black; else it is exactly the
    // play area's size.
    void setFilling(bool filling);
    // Where the play area is drawn, in this widget's coordinates.
    QRect playArea() const;

    // Draws the frame for this time on the frames' clock.
    void showFrame(double nowMs);
    // What the frame for the time last shown draws.
    scene::Scene scene() const;
    // Off: the plain steps of the ticks, as the game once looked.
    void setSmoothing(bool on) { play_.setSmoothing(on); }
    bool smoothing() const { return play_.smoothing(); }

    const SpritePictures& pictures() const { return pictures_; }

    QSize sizeHint() const override { return QSize(kWidth, kHeight) * zoom_; }

  Q_SIGNALS:
    // The hall-of-fame panel's button was clicked.
    void newGameButtonClicked();
    // A click on the hall of fame while it is shown, in the scene's pixels.
    void hallOfFameClicked(double x, double y);
    // The first frame is on screen: slower start-up work can follow.
    void firstFramePainted();

  protected:
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

  private:
    // Renders the pictures again when the device pixel ratio has changed.
    void refreshPictures();
    // Device pixels to one window pixel of the design.
    qreal pictureScale() const { return devicePixelRatioF() * zoom_; }

    session::Play& play_;
    SpritePictures pictures_;
    double frameMs_ = 0;
    bool painted_ = false;
    int zoom_ = 1;
    bool filling_ = false;
};

} // namespace kestrada::desktop
