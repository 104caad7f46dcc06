// SPDX-License-Identifier: GPL-3.0-or-later
#include "desktop/tick_log.h"

#include "desktop/main_window.h"
#include "sound/clocked_sound_player.h"

#include <QFile>
#include <chrono>
#include <cstdio>
#include <memory>
#include <optional>
#include <string>

namespace kestrada::desktop {

namespace {
std::int64_t steadyNs() {
    const auto now = std::chrono::steady_clock::now().time_since_epoch();
    return std::chrono::duration_cast<std::chrono::nanoseconds>(now).count();
}

std::shared_ptr<std::FILE> openLog(const char* variable) {
    const QByteArray path = QFile::encodeName(qEnvironmentVariable(variable));
    if (path.isEmpty()) {
        return nullptr;
    }
    std::shared_ptr<std::FILE> file(std::fopen(path.constData(), "w"), [](std::FILE* f) {
        if (f != nullptr) {
            std::fclose(f);
        }
    });
    if (file) {
        // Line by line, so that a log cut short by a kill is still whole.
        std::setvbuf(file.get(), nullptr, _IOLBF, 0);
    }
    return file;
}
} // namespace

void logTicksIfAsked(const MainWindow& window) {
    const std::shared_ptr<std::FILE> file = openLog("KESTRADA_TICK_LOG");
    if (!file) {
        return;
    }
    // The slots run on while the game stands still; only a slot in which
    // the game ticked moves the tick count.
    const Form& form = window.form();
    const session::Play& play = window.play();
    QObject::connect(
        &window, &MainWindow::slotEnded, &window,
        [file, &form, &play, logged = std::optional<int32_t>()]() mutable {
            if (logged == form.TickCount) {
                return;
            }
            logged = form.TickCount;
            std::string ghost;
            if (const session::GhostRace* race = play.race()) {
                ghost = " ghost=" + race->ghostScore() + "/" + std::to_string(race->gap());
            }
            std::fprintf(file.get(), "%lld %d %d%s\n", static_cast<long long>(steadyNs()),
                         static_cast<int>(form.TickCount), static_cast<int>(form.Speed),
                         ghost.c_str());
        });
}

void logSoundStartsIfAsked(const Form& form) {
    const std::shared_ptr<std::FILE> file = openLog("KESTRADA_SOUND_LOG");
    if (!file) {
        return;
    }
    for (const auto& [player, name] :
         {std::pair{form.sndStart, "Start"}, {form.sndCrash, "Crash"}, {form.sndMusic, "Music"}}) {
        if (auto* clocked = dynamic_cast<sound::ClockedSoundPlayer*>(player)) {
            clocked->setOnStarted([file, name = name] {
                std::fprintf(file.get(), "%lld start %s\n", static_cast<long long>(steadyNs()),
                             name);
            });
        }
    }
}

} // namespace kestrada::desktop
