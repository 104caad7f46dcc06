// SPDX-License-Identifier: GPL-3.0-or-later
// The baseline for the start-up, memory and idle measures: the least a Qt
// Widgets program of the game's shape does, a main window with a menu bar
// and an empty 590 x 477 client area. It reports its first frame through
// the same probe as the game.
#include "desktop/first_frame_probe.h"

#include <QApplication>
#include <QMainWindow>
#include <QMenuBar>
#include <QWidget>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QMainWindow window;
    window.setWindowTitle(QStringLiteral("Bare window"));
    window.menuBar()
        ->addMenu(QStringLiteral("&File"))
        ->addAction(QStringLiteral("E&xit"), &app, &QCoreApplication::quit);
    auto* field = new QWidget(&window);
    field->setFixedSize(590, 477);
    window.setCentralWidget(field);
    kestrada::desktop::exitAtFirstFrameIfAsked(*field);
    window.show();
    return QApplication::exec();
}
