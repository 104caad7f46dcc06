// SPDX-License-Identifier: GPL-3.0-or-later
// The window's comforts around the game: a game left behind another window
// pauses, the weapon keys are found by their place on any keyboard layout,
// the help text stays readable under a dark desktop theme, and the play
// area can be drawn larger.
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

using kestrada::Control;
using kestrada::Form;
using kestrada::view::MainWindow;
using namespace kestrada::view::testing;

// A check made in a helper ends only the helper when it fails; this ends
// the test there too.
#define CHECKED(call)                                                                              \
    do {                                                                                           \
        call;                                                                                      \
        if (QTest::currentTestFailed()) {                                                          \
            return;                                                                                \
        }                                                                                          \
    } while (false)

namespace {
// Pixels of the image that are nearly black.
int nearlyBlackPixels(const QImage& image) {
    int count = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const QColor c = image.pixelColor(x, y);
            count += c.red() < 40 && c.green() < 40 && c.blue() < 40 ? 1 : 0;
        }
    }
    return count;
}
} // namespace

class ComfortsTest : public QObject {
    Q_OBJECT

  private:
    std::unique_ptr<ScratchDataDir> data_;
    std::unique_ptr<MainWindow> window_;

    MainWindow& w() { return *window_; }
    const Form& form() { return window_->form(); }
    QWidget* field() { return &window_->playField(); }
    QAction* action(kestrada::MenuItem Form::*item) { return window_->menus().action(item); }

    void openWindow() {
        window_ = std::make_unique<MainWindow>(data_->fsPath(), 7);
        window_->show();
        QVERIFY(QTest::qWaitForWindowExposed(window_.get()));
        window_->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(window_.get()));
    }

    void checkPausedByFocusLoss() {
        QVERIFY(form().lblPaused().Visible);
        QCOMPARE(action(&Form::mnuPause)->text(), QStringLiteral("Un&pause"));
        QCOMPARE(form().lblInfo(8).Caption, std::string("Unpause"));
        QVERIFY(!w().frameTimerActive());
        QCOMPARE(form().LeftHeld, 0);
    }

  private Q_SLOTS:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }

    void init() { data_ = std::make_unique<ScratchDataDir>(); }

    void cleanup() {
        window_.reset();
        data_.reset();
    }

    void gameLeftBehindAnotherWindowPausesOnceAndStaysPaused() {
        QVERIFY(writeWave(data_->filePath(QStringLiteral("Kestrada.wav")), 3000));
        CHECKED(openWindow());
        // Without the start jingle the road music starts at once.
        action(&Form::mnuEffects)->trigger();
        QTRY_COMPARE_WITH_TIMEOUT(form().sndMusic->mode(), kestrada::kModePlaying, 8000);
        QTest::keyPress(field(), Qt::Key_Left);
        QCOMPARE(form().LeftHeld, 1);

        QWidget other;
        other.setWindowTitle(QStringLiteral("another program"));
        other.show();
        other.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&other));
        CHECKED(checkPausedByFocusLoss());
        QTRY_COMPARE(form().sndMusic->mode(), kestrada::kModeStopped);
        const int ticks = form().TickCount;

        // Coming back and leaving again changes nothing: still one pause.
        for (int round = 0; round < 2; ++round) {
            w().activateWindow();
            QVERIFY(QTest::qWaitForWindowActive(&w()));
            CHECKED(checkPausedByFocusLoss());
            other.activateWindow();
            QVERIFY(QTest::qWaitForWindowActive(&other));
            CHECKED(checkPausedByFocusLoss());
        }
        QCOMPARE(form().TickCount, ticks);

        // The player resumes with Esc; minimising pauses again.
        w().activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&w()));
        QTest::keyClick(field(), Qt::Key_Escape);
        QVERIFY(!form().lblPaused().Visible);
        QVERIFY(w().frameTimerActive());
        w().showMinimized();
        QTRY_VERIFY(form().lblPaused().Visible);
        CHECKED(checkPausedByFocusLoss());
        w().showNormal();
        w().activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&w()));
        QVERIFY(form().lblPaused().Visible);
    }

    // Native codes are xkb key codes: the top-row 1 is 10 and 2 is 11 on
    // every layout, whatever character the layout and Shift make of them.
    void weaponKeysFollowTheTopRowKeyOnAnyLayout() {
        CHECKED(openWindow());
        struct Press {
            const char* what;
            int key;
            Qt::KeyboardModifiers modifiers;
            QString text;
            quint32 scanCode;
            int16_t weapon; // 0: the choice must not change
        };
        const Press presses[] = {
            {"US 1", Qt::Key_1, Qt::NoModifier, QStringLiteral("1"), 10, 1},
            {"US Shift+1", Qt::Key_Exclam, Qt::ShiftModifier, QStringLiteral("!"), 10, 1},
            {"US Shift+2", Qt::Key_At, Qt::ShiftModifier, QStringLiteral("@"), 11, 2},
            {"AZERTY 1", Qt::Key_Ampersand, Qt::NoModifier, QStringLiteral("&"), 10, 1},
            {"AZERTY Shift+1", Qt::Key_1, Qt::ShiftModifier, QStringLiteral("1"), 10, 1},
            {"AZERTY 2", Qt::Key_Eacute, Qt::NoModifier, QString(QChar(0xE9)), 11, 2},
            {"AZERTY Shift+2", Qt::Key_2, Qt::ShiftModifier, QStringLiteral("2"), 11, 2},
            {"keypad 1", Qt::Key_1, Qt::KeypadModifier, QStringLiteral("1"), 87, 0},
            {"keypad 2", Qt::Key_2, Qt::KeypadModifier, QStringLiteral("2"), 88, 0},
        };
        for (const Press& press : presses) {
            // Start from the other weapon, chosen with a plain synthetic key.
            const int16_t before = press.weapon == 1 ? 2 : 1;
            QTest::keyClick(field(), before == 1 ? Qt::Key_1 : Qt::Key_2);
            QCOMPARE(form().WeaponChoice, before);
            for (const auto type : {QEvent::KeyPress, QEvent::KeyRelease}) {
                QKeyEvent event(type, press.key, press.modifiers, press.scanCode, 0, 0, press.text);
                QApplication::sendEvent(field(), &event);
            }
            QVERIFY2(form().WeaponChoice == (press.weapon == 0 ? before : press.weapon),
                     press.what);
        }
    }

    void helpTextIsBlackOnWhiteUnderADarkTheme() {
        const QPalette desktop = QApplication::palette();
        QPalette dark;
        for (const auto role : {QPalette::Window, QPalette::Base, QPalette::Button}) {
            dark.setColor(role, QColor(30, 30, 30));
        }
        for (const auto role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText}) {
            dark.setColor(role, QColor(240, 240, 240));
        }
        QApplication::setPalette(dark);
        kestrada::view::HelpDialog help;
        help.show();
        QVERIFY(QTest::qWaitForWindowExposed(&help));
        const QImage dialog = help.grab().toImage();
        QApplication::setPalette(desktop);
        saveScreenshot(dialog, QStringLiteral("help_dark_theme.png"));

        const QRect label = help.lblInstructions()->geometry();
        QCOMPARE(dialog.pixelColor(label.topLeft() + QPoint(0, 0)), QColor(Qt::white));
        QVERIFY(nearlyBlackPixels(dialog.copy(label)) > 500); // the words themselves
        const QRect button = help.cmdOK()->geometry().adjusted(10, 8, -10, -8);
        QVERIFY(nearlyBlackPixels(dialog.copy(button)) > 10); // "OK"
    }

    // The whole frame, drawn twice as large, shows the car's own picture
    // rendered for that size at twice its place: crisp, not stretched.
    void zoomDrawsTheFrameLargerAndIsRemembered() {
        kestrada::view::saveZoom(1);
        CHECKED(openWindow());
        const int menuHeight = w().menuBar()->height();
        w().setZoom(2);
        QCOMPARE(field()->size(), QSize(1180, 954));
        QTRY_COMPARE(w().size(), QSize(1180, 954 + menuHeight));
        QCOMPARE(w().minimumSize(), w().maximumSize());
        QCOMPARE(w().menuBar()->height(), menuHeight);

        const QImage frame = field()->grab().toImage().convertToFormat(QImage::Format_RGB32);
        saveScreenshot(frame, QStringLiteral("zoom2.png"));
        QCOMPARE(frame.size(), QSize(1180, 954));
        const Control& car = form().picCar().Visible ? form().picCar() : form().imgCar();
        QVERIFY(car.Visible);
        const QImage art =
            w().playField()
                .pictures()
                .image(kestrada::view::Picture::Car, QSize(qRound(car.Width), qRound(car.Height)))
                .convertToFormat(QImage::Format_ARGB32);
        QCOMPARE(art.size(), QSize(50, 88));
        const QPoint corner(qRound(car.Left * 2), qRound(car.Top * 2));
        int compared = 0;
        for (int y = 0; y < art.height(); ++y) {
            for (int x = 0; x < art.width(); ++x) {
                const QRgb pixel = art.pixel(x, y);
                if (qAlpha(pixel) == 255) {
                    ++compared;
                    QCOMPARE(frame.pixel(corner + QPoint(x, y)), pixel);
                }
            }
        }
        QVERIFY(compared > art.width() * art.height() / 4);

        // Ctrl+Plus and Ctrl+Minus step between 1 and 4 and are remembered.
        struct Step {
            Qt::Key key;
            int zoom;
        };
        const Step steps[] = {{Qt::Key_Plus, 3},  {Qt::Key_Plus, 4},  {Qt::Key_Plus, 4},
                              {Qt::Key_Minus, 3}, {Qt::Key_Minus, 2}, {Qt::Key_Minus, 1},
                              {Qt::Key_Minus, 1}, {Qt::Key_Plus, 2}};
        for (const Step& step : steps) {
            QTest::keyClick(&w(), step.key, Qt::ControlModifier);
            QCOMPARE(field()->size(), QSize(590, 477) * step.zoom);
            QCOMPARE(kestrada::view::savedZoom(), step.zoom);
        }
        QVERIFY(!form().lblPaused().Visible); // not a play key
    }
};

QTEST_MAIN(ComfortsTest)
#include "comforts_qtest.moc"
