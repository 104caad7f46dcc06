// SPDX-License-Identifier: GPL-3.0-or-later
// The client area of the main window: paints the scene of the model, with
// motion between ticks, and keeps the sprites' pictures ready for the
// screen the window is on.
#pragma once

#include "app/form.h"
#include "desktop/sprite_pictures.h"
#include "scene/live_scene.h"
#include "session/hall_of_fame_panel.h"
#include "session/hall_of_fame_world.h"

#include <QWidget>

namespace kestrada::desktop {

class PlayField : public QWidget {
    Q_OBJECT

  public:
    static constexpr int kWidth = 590;
    static constexpr int kHeight = 477;

    PlayField(const Form& form, const QString& pictureDir, QWidget* parent = nullptr);

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

    // After every tick, with when its slot fell on the frames' clock.
    void frameTicked(double slotMs);
    // Draws the frame for this time on the frames' clock.
    void showFrame(double nowMs);
    // What the frame for the time last shown draws.
    scene::Scene scene() const;
    // The hall of fame drawn over the play field while it is shown.
    void setHallOfFame(const session::HallOfFamePanel* panel) { hallOfFame_ = panel; }
    // With the world's views beside the local table.
    void setHallOfFameWorld(const session::HallOfFameWorld* world) { world_ = world; }
    // Off: the plain steps of the ticks, as the game once looked.
    void setSmoothing(bool on) { live_.setSmoothing(on); }
    bool smoothing() const { return live_.smoothing(); }
    // A held replay stands still.
    void setReplayHeld(bool held) { replayHeld_ = held; }

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

    const Form& form_;
    SpritePictures pictures_;
    scene::LiveScene live_;
    double frameMs_ = 0;
    bool replayHeld_ = false;
    bool painted_ = false;
    int zoom_ = 1;
    bool filling_ = false;
    const session::HallOfFamePanel* hallOfFame_ = nullptr;
    const session::HallOfFameWorld* world_ = nullptr;
};

} // namespace kestrada::desktop
