// SPDX-License-Identifier: GPL-3.0-or-later
#include "desktop/tick_log.h"

#include <QFile>
#include <QTimer>
#include <chrono>
#include <cstdio>
#include <memory>
#include <optional>

namespace kestrada::desktop {

void logTicksIfAsked(const QTimer& frameTimer, const Form& form) {
    const QByteArray path = QFile::encodeName(qEnvironmentVariable("KESTRADA_TICK_LOG"));
    if (path.isEmpty()) {
        return;
    }
    std::shared_ptr<std::FILE> file(std::fopen(path.constData(), "w"), [](std::FILE* f) {
        if (f != nullptr) {
            std::fclose(f);
        }
    });
    if (!file) {
        return;
    }
    // Line by line, so that a log cut short by a kill is still whole.
    std::setvbuf(file.get(), nullptr, _IOLBF, 0);
    // The frame timer runs on while the game stands still; only a slot in
    // which the game ticked moves the tick count.
    QObject::connect(&frameTimer, &QTimer::timeout, &frameTimer,
                     [file, &form, logged = std::optional<int32_t>()]() mutable {
                         if (logged == form.TickCount) {
                             return;
                         }
                         logged = form.TickCount;
                         const auto now = std::chrono::steady_clock::now().time_since_epoch();
                         std::fprintf(
                             file.get(), "%lld %d %d\n",
                             static_cast<long long>(
                                 std::chrono::duration_cast<std::chrono::nanoseconds>(now).count()),
                             static_cast<int>(form.TickCount), static_cast<int>(form.Speed));
                     });
}

} // namespace kestrada::desktop
