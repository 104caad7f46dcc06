// SPDX-License-Identifier: GPL-3.0-or-later
#include "desktop/play_field.h"

#include "desktop/frame_painter.h"
#include "scene/hall_of_fame.h"

#include <QMouseEvent>
#include <QPainter>
#include <QTimer>
#include <QWindow>
#include <algorithm>
#include <utility>

namespace kestrada::desktop {

namespace {
// Beyond any screen made yet: 8K holds the play area 7 times across.
constexpr int kMaxFillingZoom = 8;
} // namespace

PlayField::PlayField(session::Play& play, const QString& pictureDir, QWidget* parent)
    : QWidget(parent), play_(play), pictures_(pictureDir) {
    setFixedSize(kWidth, kHeight);
    setAttribute(Qt::WA_OpaquePaintEvent);
    setFocusPolicy(Qt::StrongFocus);
}

void PlayField::setZoom(int zoom) {
    zoom_ = std::clamp(zoom, 1, kMaxFillingZoom);
    if (!filling_) {
        setFixedSize(sizeHint());
    }
    if (isVisible()) {
        refreshPictures();
    }
    update();
}

void PlayField::setFilling(bool filling) {
    filling_ = filling;
    if (filling) {
        setMinimumSize(0, 0);
        setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
    } else {
        setFixedSize(sizeHint());
    }
    update();
}

QRect PlayField::playArea() const {
    const QSize size = sizeHint();
    if (!filling_) {
        return QRect(QPoint(0, 0), size);
    }
    // Centred in the window, not in this widget, so that the menu bar
    // coming and going does not move the road.
    const QSize space = window()->size();
    const QPoint inWindow((space.width() - size.width()) / 2, (space.height() - size.height()) / 2);
    return QRect(inWindow - mapTo(window(), QPoint(0, 0)), size);
}

void PlayField::showFrame(double nowMs) {
    frameMs_ = nowMs;
    update();
}

void PlayField::refreshPictures() {
    // Until the first frame is up, only what it shows: the rest follows it.
    pictures_.prepare(pictureScale(), pictureUses(painted_ ? scene::picturesUsedBy(play_.form())
                                                           : scene::picturesIn(scene())));
}

bool PlayField::event(QEvent* event) {
    if (event->type() == QEvent::ScreenChangeInternal) {
        refreshPictures();
    }
    return QWidget::event(event);
}

void PlayField::showEvent(QShowEvent* event) {
    refreshPictures();
    if (QWindow* handle = window()->windowHandle()) {
        connect(handle, &QWindow::screenChanged, this, &PlayField::refreshPictures,
                Qt::UniqueConnection);
    }
    QWidget::showEvent(event);
}

void PlayField::paintEvent(QPaintEvent*) {
    if (!painted_) {
        refreshPictures(); // a sprite may have appeared since showEvent
    }
    if (pictures_.devicePixelRatio() != pictureScale()) {
        // Rasterising here would stall this frame; draw the pictures we
        // have, stretched, and render the sharp ones before the next.
        QTimer::singleShot(0, this, &PlayField::refreshPictures);
        QTimer::singleShot(0, this, qOverload<>(&QWidget::update));
    }
    QPainter painter(this);
    const QRect area = playArea();
    if (filling_) {
        painter.fillRect(rect(), Qt::black);
        painter.setClipRect(area); // sprites parked off the road stay unseen
    }
    painter.translate(area.topLeft());
    painter.scale(zoom_, zoom_);
    paintScene(painter, scene(), pictures_);
    if (!std::exchange(painted_, true)) {
        // The pictures the first frame did not need, before the next frame.
        QTimer::singleShot(0, this, &PlayField::refreshPictures);
        Q_EMIT firstFramePainted();
    }
}

scene::Scene PlayField::scene() const {
    return play_.scene(frameMs_);
}

void PlayField::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        QWidget::mousePressEvent(event);
        return;
    }
    const QPointF at = (event->position() - playArea().topLeft()) / zoom_;
    if (play_.tableShown()) {
        Q_EMIT hallOfFameClicked(at.x(), at.y());
        return;
    }
    // The form's own frame, were it ever shown.
    const Form& form = play_.form();
    const scene::Rect r = scene::hallOfFameButton(form);
    if (form.fraScores().Visible && form.cmdNewGame().Visible &&
        QRectF(r.left, r.top, r.width, r.height).contains(at)) {
        Q_EMIT newGameButtonClicked();
        return;
    }
    QWidget::mousePressEvent(event);
}

} // namespace kestrada::desktop
