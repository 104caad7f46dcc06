// SPDX-License-Identifier: GPL-3.0-or-later
#include "desktop/first_frame_probe.h"

#include <QCoreApplication>
#include <QEvent>
#include <QTimer>
#include <QWidget>
#include <chrono>
#include <cstdio>
#include <sys/resource.h>

namespace kestrada::desktop {

namespace {
class FirstFrameProbe : public QObject {
  public:
    using QObject::QObject;

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() != QEvent::Paint) {
            return false;
        }
        watched->removeEventFilter(this);
        // Filters run before the widget: paint it here, then stamp, so that
        // the time covers the frame and nothing queued after it.
        watched->event(event);
        const auto now = std::chrono::steady_clock::now().time_since_epoch();
        rusage usage{};
        ::getrusage(RUSAGE_SELF, &usage);
        const auto micros = [](const timeval& t) {
            return static_cast<long long>(t.tv_sec) * 1000000 + t.tv_usec;
        };
        std::printf("first-frame %lld %ld %lld\n",
                    static_cast<long long>(
                        std::chrono::duration_cast<std::chrono::nanoseconds>(now).count()),
                    usage.ru_maxrss, micros(usage.ru_utime) + micros(usage.ru_stime));
        std::fflush(stdout);
        // Once this paint has been flushed: quitting inside it would leave
        // the flush a window without a handle.
        QTimer::singleShot(0, qApp, &QCoreApplication::quit);
        return true;
    }
};
} // namespace

void exitAtFirstFrameIfAsked(QWidget& widget) {
    if (qEnvironmentVariableIsSet("KESTRADA_FIRST_FRAME_EXIT")) {
        widget.installEventFilter(new FirstFrameProbe(&widget));
    }
}

} // namespace kestrada::desktop
