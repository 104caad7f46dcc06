// kestrada: the game in its window, or with --headless the same game driven
// by an input file, with no display at all.
#include "headless/runner.h"
#include "view/command_line.h"
#include "view/first_frame_probe.h"
#include "view/main_window.h"
#include "view/play_field.h"
#include "view/tick_log.h"

#include <QApplication>
#include <algorithm>
#include <iostream>
#include <string>
#include <vector>

int main(int argc, char* argv[]) {
    const std::vector<std::string> args(argv + 1, argv + argc);
    if (std::find(args.begin(), args.end(), "--headless") != args.end()) {
        return kestrada::headless::run(args);
    }
    const kestrada::view::CommandLine options = kestrada::view::parseCommandLine(args);
    if (!options.ok()) {
        std::cerr << options.error << '\n';
        return 2;
    }

    QApplication app(argc, argv);
    const std::filesystem::path appPath =
        options.dataDir
            ? std::filesystem::path(*options.dataDir)
            : std::filesystem::path(QCoreApplication::applicationDirPath().toStdString());
    kestrada::view::MainWindow window(appPath, options.seed);
    QObject::connect(&window, &kestrada::view::MainWindow::programEnded, &app,
                     &QCoreApplication::quit, Qt::QueuedConnection);
    // Opt-in measures for bench/run.sh; they do nothing unless asked.
    kestrada::view::exitAtFirstFrameIfAsked(window.playField());
    kestrada::view::logTicksIfAsked(window.frameTimer(), window.form());
    window.show();
    return app.exec();
}
