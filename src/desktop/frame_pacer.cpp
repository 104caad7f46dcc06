// SPDX-License-Identifier: GPL-3.0-or-later
#include "desktop/frame_pacer.h"

#include <QScreen>
#include <QWidget>
#include <cmath>

namespace kestrada::desktop {

namespace {
// Xvfb's mode has no dot clock, so its screen reads 0 Hz.
constexpr double kFallbackRate = 60;
} // namespace

FramePacer::FramePacer(QWidget& widget) : widget_(widget) {
    steady_.start();
    wall_.start();
    clock_ = [this] { return double(steady_.nsecsElapsed()) / 1e6; };
    timer_.setTimerType(Qt::PreciseTimer);
    timer_.setSingleShot(true);
    connect(&timer_, &QTimer::timeout, this, [this] {
        frame();
        scheduleNext();
    });
}

double FramePacer::rate() const {
    const QScreen* screen = widget_.screen();
    const double hz = screen != nullptr ? screen->refreshRate() : 0;
    return hz > 1 ? hz : kFallbackRate;
}

void FramePacer::start() {
    running_ = true;
    nextFrame_ = double(wall_.nsecsElapsed()) / 1e6;
    scheduleNext();
}

void FramePacer::stop() {
    running_ = false;
    timer_.stop();
}

void FramePacer::scheduleNext() {
    if (!running_) {
        return;
    }
    // Deadlines a period apart, not delays, so the frames keep the screen's
    // rate on average; after a stall the next comes a period from now.
    const double period = 1000.0 / rate();
    const double wallNow = double(wall_.nsecsElapsed()) / 1e6;
    nextFrame_ += period;
    if (nextFrame_ < wallNow) {
        nextFrame_ = wallNow + period;
    }
    timer_.start(static_cast<int>(std::ceil(nextFrame_ - wallNow)));
}

void FramePacer::frame() {
    const double nowMs = now();
    const int due = slots_.frame(nowMs);
    for (int i = 0; i < due && running_; ++i) {
        Q_EMIT slotDue(slots_.slotTime(i));
    }
    if (running_) {
        Q_EMIT frameDue(nowMs);
    }
}

} // namespace kestrada::desktop
