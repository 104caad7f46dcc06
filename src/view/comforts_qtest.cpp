// SPDX-License-Identifier: GPL-3.0-or-later
// The window's comforts around the game: leaving the window pauses, the
// weapon keys are found by their place on any layout, the help text stays
// readable under a dark theme, and the play area can be drawn larger.
#include "app/form.h"
#include "app/sound_player.h"
#include "view/game_menus.h"
#include "view/help_dialog.h"
#include "view/main_window.h"
#include "view/play_field.h"
#include "view/qtest_support.h"
#include "view/zoom_setting.h"

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QMenuBar>
#include <QPushButton>
#include <QStandardPaths>
#include <QTest>
#include <memory>

using kestrada::Form;
using kestrada::view::MainWindow;
using namespace kestrada::view::testing;

class ComfortsTest : public QObject {
    Q_OBJECT

    std::unique_ptr<ScratchDataDir> data_;
    std::unique_ptr<MainWindow> w_;
    const Form& form() { return w_->form(); }
    QWidget* field() { return &w_->playField(); }
    bool paused() { return form().lblPaused().Visible; }
    static bool activate(QWidget& window) {
        window.activateWindow();
        return QTest::qWaitForWindowActive(&window);
    }

  private Q_SLOTS:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }
    void init() {
        data_ = std::make_unique<ScratchDataDir>();
        QVERIFY(writeWave(data_->filePath(QStringLiteral("Kestrada.wav")), 3000));
        w_ = std::make_unique<MainWindow>(data_->fsPath(), 7);
        w_->show();
        QVERIFY(activate(*w_));
    }
    void cleanup() {
        w_.reset();
        data_.reset();
    }

    void leavingTheWindowPausesOnceAndComingBackDoesNotResume() {
        w_->menus().action(&Form::mnuEffects)->trigger(); // no jingle: music at once
        QTRY_COMPARE_WITH_TIMEOUT(form().sndMusic->mode(), kestrada::kModePlaying, 8000);
        QTest::keyPress(field(), Qt::Key_Left);
        QWidget other;
        other.show();
        for (int round = 0; round < 2; ++round) { // a second leave must not resume
            QVERIFY(activate(other));
            QVERIFY(paused() && !w_->frameTimerActive());
            QCOMPARE(w_->menus().action(&Form::mnuPause)->text(), QStringLiteral("Un&pause"));
            QCOMPARE(form().LeftHeld, 0);
            QTRY_COMPARE(form().sndMusic->mode(), kestrada::kModeStopped);
            QVERIFY(activate(*w_));
            QVERIFY(paused());
        }
        QTest::keyClick(field(), Qt::Key_Escape);
        QVERIFY(!paused());
        w_->showMinimized();
        QTRY_VERIFY(paused());
    }

    // xkb key codes: the top-row 1 is 10 and 2 is 11 whatever the layout
    // and Shift make of them; the keypad's digits stay ignored.
    void weaponKeysAreTheTopRowKeysOnAnyLayout() {
        const struct {
            int key;
            Qt::KeyboardModifiers modifiers;
            quint32 scanCode;
            int16_t weapon; // 0: unchanged
        } presses[] = {
            {Qt::Key_Exclam, Qt::ShiftModifier, 10, 1}, // US Shift+1 "!"
            {Qt::Key_At, Qt::ShiftModifier, 11, 2},     // US Shift+2 "@"
            {Qt::Key_Ampersand, Qt::NoModifier, 10, 1}, // AZERTY "&"
            {Qt::Key_Eacute, Qt::NoModifier, 11, 2},    // AZERTY "é"
            {Qt::Key_1, Qt::ShiftModifier, 10, 1},      // AZERTY Shift "1"
            {Qt::Key_2, Qt::KeypadModifier, 88, 0},     // keypad 2
        };
        for (const auto& press : presses) {
            const int16_t before = press.weapon == 1 ? 2 : 1;
            QTest::keyClick(field(), before == 1 ? Qt::Key_1 : Qt::Key_2);
            for (const auto type : {QEvent::KeyPress, QEvent::KeyRelease}) {
                QKeyEvent event(type, press.key, press.modifiers, press.scanCode, 0, 0);
                QApplication::sendEvent(field(), &event);
            }
            QCOMPARE(form().WeaponChoice, press.weapon == 0 ? before : press.weapon);
        }
    }

    void helpIsBlackOnWhiteUnderADarkTheme() {
        const QPalette desktop = QApplication::palette();
        QPalette dark(QColor(30, 30, 30), QColor(30, 30, 30));
        dark.setColor(QPalette::ButtonText, Qt::white);
        QApplication::setPalette(dark);
        kestrada::view::HelpDialog help;
        help.show();
        QVERIFY(QTest::qWaitForWindowExposed(&help));
        const QImage shot = help.grab().toImage().convertToFormat(QImage::Format_Grayscale8);
        QApplication::setPalette(desktop);
        saveScreenshot(shot, QStringLiteral("help_dark_theme.png"));
        const auto blackPixels = [&shot](QRect r) {
            int n = 0;
            for (int y = r.top(); y <= r.bottom(); ++y) {
                for (int x = r.left(); x <= r.right(); ++x) {
                    n += shot.pixelColor(x, y).value() < 40 ? 1 : 0;
                }
            }
            return n;
        };
        QCOMPARE(shot.pixelColor(help.lblInstructions()->pos()).value(), 255);
        QVERIFY(blackPixels(help.lblInstructions()->geometry()) > 500);               // the words
        QVERIFY(blackPixels(help.cmdOK()->geometry().adjusted(10, 8, -10, -8)) > 10); // "OK"
    }

    // At zoom 2 the car's own picture, rendered for that zoom, lies pixel
    // for pixel at twice its place: crisp, not stretched.
    void zoomDrawsLargerAndCtrlPlusMinusAreRemembered() {
        const int menuHeight = w_->menuBar()->height();
        w_->setZoom(2);
        QTRY_COMPARE(w_->size(), QSize(1180, 954 + menuHeight));
        QCOMPARE(w_->minimumSize(), w_->maximumSize());
        const QImage frame = field()->grab().toImage().convertToFormat(QImage::Format_ARGB32);
        saveScreenshot(frame, QStringLiteral("zoom2.png"));
        const kestrada::Control& car = form().picCar().Visible ? form().picCar() : form().imgCar();
        const QImage art = w_->playField()
                               .pictures()
                               .image(kestrada::view::Picture::Car, QSize(25, 44))
                               .convertToFormat(QImage::Format_ARGB32);
        QCOMPARE(art.size(), QSize(50, 88));
        int compared = 0;
        for (int y = 0; y < art.height(); ++y) {
            for (int x = 0; x < art.width(); ++x) {
                if (qAlpha(art.pixel(x, y)) == 255 && ++compared) {
                    QCOMPARE(frame.pixel(qRound(car.Left * 2) + x, qRound(car.Top * 2) + y),
                             art.pixel(x, y));
                }
            }
        }
        QVERIFY(compared > 1000);

        const int plus = Qt::Key_Plus, minus = Qt::Key_Minus;
        const int steps[][2] = {{plus, 3},  {plus, 4},  {plus, 4},  {minus, 3},
                                {minus, 2}, {minus, 1}, {minus, 1}, {plus, 2}};
        for (const auto& [key, zoom] : steps) {
            QTest::keyClick(w_.get(), Qt::Key(key), Qt::ControlModifier);
            QCOMPARE(field()->size(), QSize(590, 477) * zoom);
            QCOMPARE(kestrada::view::savedZoom(), zoom);
        }
        QVERIFY(!paused());
    }
};

QTEST_MAIN(ComfortsTest)
#include "comforts_qtest.moc"
