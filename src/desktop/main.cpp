// SPDX-License-Identifier: GPL-3.0-or-later
// kestrada: the game in its window, or with --headless the same game driven
// by an input file, with no display at all.
#include "desktop/command_line.h"
#include "desktop/first_frame_probe.h"
#include "desktop/full_screen.h"
#include "desktop/main_window.h"
#include "desktop/missing_data.h"
#include "desktop/play_field.h"
#include "desktop/session_recording.h"
#include "desktop/tick_log.h"
#include "desktop/zoom_setting.h"
#include "headless/runner.h"
#include "headless/scores.h"
#include "storage/game_folders.h"
#include "world/downloaded_run.h"

#include <QApplication>
#include <algorithm>
#include <iostream>
#include <memory>
#include <string>
#include <vector>

namespace {
// One name for the desktop entry, the icon and the AppStream data; the
// window's class (the application name) is what the desktop entry's
// StartupWMClass matches.
constexpr const char* kApplicationId = "io.github.kestrada.Kestrada";

void nameTheApplication() {
    QCoreApplication::setApplicationName(QStringLiteral("kestrada"));
    QCoreApplication::setApplicationVersion(QStringLiteral(KESTRADA_VERSION));
}

// Prints what the options asked for; nothing when the game should start.
std::optional<int> answerWithoutPlaying(const kestrada::desktop::CommandLine& options) {
    using Action = kestrada::desktop::CommandLine::Action;
    switch (options.action) {
    case Action::Play:
        return std::nullopt;
    case Action::ShowHelp:
    case Action::ShowVersion:
        std::cout << options.text;
        return 0;
    case Action::Refuse:
        std::cerr << options.text << '\n';
        return 2;
    }
    return 2;
}
} // namespace

int main(int argc, char* argv[]) {
    const std::vector<std::string> args(argv + 1, argv + argc);
    if (std::find(args.begin(), args.end(), "--headless") != args.end()) {
        return kestrada::headless::run(args);
    }
    if (std::find(args.begin(), args.end(), "--scores") != args.end()) {
        return kestrada::headless::printScores(args);
    }
    // Help and the version need no display.
    if (kestrada::desktop::asksForHelpOrVersion(argc, argv)) {
        QCoreApplication app(argc, argv);
        nameTheApplication();
        return answerWithoutPlaying(kestrada::desktop::parseCommandLine(app.arguments()))
            .value_or(0);
    }

    QApplication app(argc, argv);
    nameTheApplication();
    QGuiApplication::setDesktopFileName(QString::fromLatin1(kApplicationId));
    const kestrada::desktop::CommandLine options =
        kestrada::desktop::parseCommandLine(app.arguments());
    if (const auto status = answerWithoutPlaying(options)) {
        return *status;
    }

    std::optional<std::filesystem::path> scoreDir;
    if (options.dataDir) {
        scoreDir = *options.dataDir;
    }
    // The per-user folder is Qt's AppDataLocation (the tests hold the two
    // together), computed as the headless mode does.
    const auto folders = kestrada::gameFolders(QCoreApplication::applicationDirPath().toStdString(),
                                               scoreDir, [] { return kestrada::userDataFolder(); });
    // A bad replay file is refused before the window opens.
    kestrada::desktop::SessionRecording session;
    if (std::string error; !session.prepare(options, folders, error)) {
        std::cerr << error << '\n';
        return 2;
    }
    kestrada::desktop::MainWindow window(session.folders(), session.seed(), session.takeReplay(),
                                         session.takeRace());
    session.attach(window);
    kestrada::desktop::reportMissingData(window.playField().pictures(),
                                         folders.gameData / "pictures", folders.gameData);
    window.setZoom(options.zoom.value_or(kestrada::desktop::savedZoom()));
    if (options.server) {
        kestrada::desktop::saveServer(*options.server);
    }
    window.setWorldServer(options.server.value_or(kestrada::desktop::savedServer()));
    if (options.raceLeader) {
        kestrada::desktop::saveRaceLeader(*options.raceLeader);
    }
    window.setRaceTodaysLeader(options.raceLeader.value_or(kestrada::desktop::savedRaceLeader()));
    if (options.road) {
        window.world().setRoad(*options.road);
    }
    if (options.smoothing) {
        kestrada::desktop::saveSmoothing(*options.smoothing);
    }
    window.playField().setSmoothing(
        options.smoothing.value_or(kestrada::desktop::savedSmoothing()));
    if (options.fullScreen || kestrada::desktop::savedFullScreen()) {
        window.fullScreen().request(true);
    }
    QObject::connect(&window, &kestrada::desktop::MainWindow::programEnded, &app,
                     &QCoreApplication::quit, Qt::QueuedConnection);
    // Opt-in measures for bench/run.sh; they do nothing unless asked.
    kestrada::desktop::exitAtFirstFrameIfAsked(window.playField());
    kestrada::desktop::logTicksIfAsked(window);
    window.show();
    const int status = app.exec();
    if (options.replay) {
        kestrada::session::forgetDownloadedRun(*options.replay);
    }
    if (options.race) {
        kestrada::session::forgetDownloadedRun(*options.race);
    }
    return status;
}
