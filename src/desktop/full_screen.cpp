// SPDX-License-Identifier: GPL-3.0-or-later
#include "desktop/full_screen.h"

#include "desktop/play_field.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLayout>
#include <QMainWindow>
#include <QMenuBar>
#include <QMouseEvent>
#include <QSettings>

namespace kestrada::desktop {

namespace {
const QString kFullScreenKey = QStringLiteral("window/fullScreen");

QSettings settings() {
    return QSettings(QStringLiteral("Kestrada"), QStringLiteral("kestrada"));
}

// How close to the top edge the mouse brings the menu bar back.
constexpr int kTopEdge = 2;
} // namespace

int fittingZoom(QSize space) {
    const int across = space.width() / PlayField::kWidth;
    const int down = space.height() / PlayField::kHeight;
    return std::max(1, std::min(across, down));
}

bool savedFullScreen() {
    return settings().value(kFullScreenKey, false).toBool();
}

FullScreen::FullScreen(QMainWindow& window, PlayField& field) : window_(window), field_(field) {}

void FullScreen::request(bool on) {
    window_.setWindowState(on ? window_.windowState() | Qt::WindowFullScreen
                              : window_.windowState() & ~Qt::WindowFullScreen);
}

void FullScreen::toggle() {
    request(!window_.isFullScreen());
    settings().setValue(kFullScreenKey, window_.isFullScreen());
}

bool FullScreen::isToggleKey(const QKeyEvent& event) {
    return event.key() == Qt::Key_F11 || event.matches(QKeySequence::FullScreen);
}

bool FullScreen::handle(QObject* watched, QEvent* event) {
    switch (event->type()) {
    case QEvent::ShortcutOverride:
        if (isToggleKey(*static_cast<QKeyEvent*>(event))) {
            event->accept();
            return true;
        }
        return false;
    case QEvent::KeyRelease: {
        // Its release too, whichever modifier was let go first.
        const auto& key = *static_cast<QKeyEvent*>(event);
        if (key.key() != toggleKey_ && !isToggleKey(key)) {
            return false;
        }
        if (!key.isAutoRepeat()) {
            toggleKey_ = 0;
        }
        return true;
    }
    case QEvent::KeyPress: {
        const auto& key = *static_cast<QKeyEvent*>(event);
        if (!isToggleKey(key)) {
            return false;
        }
        toggleKey_ = key.key();
        if (!key.isAutoRepeat()) {
            toggle();
        }
        return true;
    }
    case QEvent::WindowStateChange:
        if (watched == &window_ && window_.isFullScreen() != active_) {
            active_ = window_.isFullScreen();
            apply();
        }
        return false;
    case QEvent::Resize:
        if (watched == &window_ && active_) {
            fitPlayArea();
        }
        return false;
    case QEvent::MouseMove:
        if (active_) {
            const QPoint at =
                window_.mapFromGlobal(static_cast<QMouseEvent*>(event)->globalPosition().toPoint());
            const int barHeight = window_.menuBar()->sizeHint().height();
            if (at.y() <= kTopEdge) {
                showMenuBar(true);
            } else if (at.y() > 2 * barHeight && QApplication::activePopupWidget() == nullptr) {
                showMenuBar(false);
            }
        }
        return false;
    default:
        return false;
    }
}

void FullScreen::apply() {
    QLayout& layout = *window_.layout();
    if (active_) {
        layout.setSizeConstraint(QLayout::SetDefaultConstraint);
        window_.setMinimumSize(0, 0);
        window_.setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
        field_.setFilling(true);
        window_.setMouseTracking(true);
        field_.setMouseTracking(true);
        showMenuBar(false);
        fitPlayArea();
        return;
    }
    showMenuBar(true);
    field_.setFilling(false);
    field_.setZoom(windowedZoom_);
    layout.setSizeConstraint(QLayout::SetFixedSize);
}

void FullScreen::fitPlayArea() {
    field_.setZoom(fittingZoom(window_.size()));
}

void FullScreen::showMenuBar(bool show) {
    // Folded to no height rather than hidden: a hidden menu bar's shortcuts
    // (Ctrl+X, Ctrl+N …) would stop working.
    window_.menuBar()->setMaximumHeight(show ? QWIDGETSIZE_MAX : 0);
}

} // namespace kestrada::desktop
