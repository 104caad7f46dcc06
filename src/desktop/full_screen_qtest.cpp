// SPDX-License-Identifier: GPL-3.0-or-later
// Full screen under X11 with a window manager (tests/full_screen_test.sh);
// elsewhere only the zoom arithmetic runs.
#include "desktop/full_screen.h"
#include "desktop/main_window.h"
#include "desktop/play_field.h"
#include "desktop/qtest_support.h"

#include <QApplication>
#include <QMenuBar>
#include <QScreen>
#include <QStandardPaths>
#include <QTest>

using kestrada::desktop::MainWindow;
using kestrada::desktop::PlayField;

class FullScreenTest : public QObject {
    Q_OBJECT

  private Q_SLOTS:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }

    void theLargestWholeZoomThatFits() {
        using kestrada::desktop::fittingZoom;
        QCOMPARE(fittingZoom(QSize(1180, 954)), 2);
        QCOMPARE(fittingZoom(QSize(1179, 954)), 1);
        QCOMPARE(fittingZoom(QSize(1180, 953)), 1);
        QCOMPARE(fittingZoom(QSize(400, 300)), 1);
    }

    void f11FillsTheScreenAndComesBack() {
        if (qEnvironmentVariableIsEmpty("KESTRADA_WINDOW_MANAGER")) {
            QSKIP("needs X11 with a window manager: run by tests/full_screen_test.sh");
        }
        const kestrada::desktop::testing::ScratchDataDir data;
        MainWindow window(data.fsPath(), 5);
        QStringList heard;
        window.play().teeRecording([&heard](std::string_view text) {
            const auto line = QString::fromUtf8(text.data(), qsizetype(text.size())).trimmed();
            if (!line.startsWith(u'#')) {
                heard << line.section(u' ', 1);
            }
        });
        window.show();
        QVERIFY(QTest::qWaitForWindowActive(&window));
        PlayField& field = window.playField();
        const QSize windowed = window.size();

        QTest::keyClick(&field, Qt::Key_F11);
        const QSize screen = window.screen()->size();
        QTRY_COMPARE_WITH_TIMEOUT(window.size(), screen, 5000);
        QTRY_COMPARE(field.zoom(), kestrada::desktop::fittingZoom(screen));
        QVERIFY(kestrada::desktop::savedFullScreen());
        const QSize area = QSize(PlayField::kWidth, PlayField::kHeight) * field.zoom();
        const QRect inWindow(field.mapTo(&window, field.playArea().topLeft()), area);
        QCOMPARE(inWindow.topLeft(), QPoint((screen.width() - area.width()) / 2,
                                            (screen.height() - area.height()) / 2));
        QCOMPARE(window.menuBar()->height(), 0);
        QCOMPARE(window.grab().toImage().pixelColor(1, screen.height() - 2), QColor(Qt::black));

        // The mouse at the top edge brings the menu bar; lower down it goes.
        QTest::mouseMove(&field, field.mapFrom(&window, QPoint(screen.width() / 2, 0)));
        QTRY_VERIFY(window.menuBar()->height() > 0);
        QTest::mouseMove(&field, field.mapFrom(&window, inWindow.center()));
        QTRY_COMPARE(window.menuBar()->height(), 0);

        // Leaving the game pauses it, in full screen as in a window.
        QWidget other;
        other.show();
        other.activateWindow();
        QTRY_VERIFY_WITH_TIMEOUT(window.form().lblPaused().Visible, 5000);

        QTest::keyClick(&field, Qt::Key_F11);
        QTRY_COMPARE_WITH_TIMEOUT(window.size(), windowed, 5000);
        QVERIFY(window.menuBar()->height() > 0);
        QVERIFY(!kestrada::desktop::savedFullScreen());
        // The game heard the pause the focus loss made and no F11.
        QCOMPARE(heard, QStringList({QStringLiteral("menu mnuPause")}));
    }
};

QTEST_MAIN(FullScreenTest)
#include "full_screen_qtest.moc"
