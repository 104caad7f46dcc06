// SPDX-License-Identifier: GPL-3.0-or-later
// The window's frames at the screen's own rate, and the game's 40 ms slots
// counted out of them on a steady clock. The clock can be swapped for one a
// test steps by hand; the frames' own timer only says when to look at it.
#pragma once

#include "scene/slot_clock.h"

#include <QElapsedTimer>
#include <QObject>
#include <QTimer>
#include <functional>

class QWidget;

namespace kestrada::desktop {

class FramePacer : public QObject {
    Q_OBJECT

  public:
    // Milliseconds on a steady clock.
    using Clock = std::function<double()>;

    // Paced by the screen the widget's window is on.
    explicit FramePacer(QWidget& widget);

    void setClock(Clock clock) { clock_ = std::move(clock); }
    double now() const { return clock_(); }

    void start();
    void stop();
    bool active() const { return timer_.isActive(); }

    // One frame now, as the timer runs it: the slots due, then the frame.
    void frame();
    // Frames a second: the screen's refresh rate, 60 where it reads none.
    double rate() const;

  Q_SIGNALS:
    // A slot is due; slotMs is when it fell on the clock.
    void slotDue(double slotMs);
    // The slots are run: a frame for the time nowMs can be drawn.
    void frameDue(double nowMs);

  private:
    void scheduleNext();

    QWidget& widget_;
    QTimer timer_;
    QElapsedTimer wall_; // paces the timer, whatever clock the slots use
    double nextFrame_ = 0;
    QElapsedTimer steady_;
    Clock clock_;
    scene::SlotClock slots_;
    bool running_ = false;
};

} // namespace kestrada::desktop
