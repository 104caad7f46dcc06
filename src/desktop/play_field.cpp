// SPDX-License-Identifier: GPL-3.0-or-later
#include "desktop/play_field.h"

#include "desktop/frame_painter.h"

#include <QMouseEvent>
#include <QPainter>
#include <QTimer>
#include <QWindow>
#include <algorithm>
#include <utility>

namespace kestrada::desktop {

namespace {
const QColor kWindowBackground(192, 192, 192);
} // namespace

PlayField::PlayField(const Form& form, const QString& pictureDir, QWidget* parent)
    : QWidget(parent), form_(form), pictures_(pictureDir), explosion_(form.imgBoom()) {
    setFixedSize(kWidth, kHeight);
    setAttribute(Qt::WA_OpaquePaintEvent);
    setFocusPolicy(Qt::StrongFocus);
}

void PlayField::setZoom(int zoom) {
    zoom_ = std::clamp(zoom, 1, 4);
    setFixedSize(sizeHint());
    if (isVisible()) {
        refreshPictures();
    }
    update();
}

void PlayField::frameTicked() {
    explosion_.observe(form_.imgBoom());
    update();
}

void PlayField::refreshPictures() {
    // Until the first frame is up, only what it shows: the rest follows it.
    pictures_.prepare(pictureScale(), painted_ ? picturesUsedBy(form_) : picturesShownBy(form_));
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
    painter.fillRect(rect(), kWindowBackground);
    painter.scale(zoom_, zoom_);
    paintFrame(painter, form_, pictures_, explosion_);
    if (!std::exchange(painted_, true)) {
        // The pictures the first frame did not need, before the next frame.
        QTimer::singleShot(0, this, &PlayField::refreshPictures);
        Q_EMIT firstFramePainted();
    }
}

void PlayField::mousePressEvent(QMouseEvent* event) {
    const Control& frame = form_.fraScores();
    const Control& button = form_.cmdNewGame();
    const QRectF buttonRect(frame.Left + button.Left, frame.Top + button.Top, button.Width,
                            button.Height);
    if (event->button() == Qt::LeftButton && frame.Visible && button.Visible &&
        buttonRect.contains(event->position() / zoom_)) {
        Q_EMIT newGameButtonClicked();
        return;
    }
    QWidget::mousePressEvent(event);
}

} // namespace kestrada::desktop
