// SPDX-License-Identifier: GPL-3.0-or-later
// The window's comforts around the game: leaving the window pauses, the
// weapon keys are found by their place on any layout, the help text stays
// readable under a dark theme, the play area can be drawn larger, and
// controllers (SDL's virtual ones, plugged in and out) act as keys.
#include "app/form.h"
#include "app/sound_player.h"
#include "view/game_menus.h"
#include "view/gamepad.h"
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
#define SDL_MAIN_HANDLED
#include <SDL.h>

using kestrada::Form;
using namespace kestrada::view::testing;

namespace {
// A virtual controller with every button and axis; it counts rumbles.
struct VirtualPad {
    SDL_Joystick* joystick = nullptr;
    int rumbles = 0, stillnesses = 0; // a rumble ends with a call to be still
    VirtualPad() {
        SDL_VirtualJoystickDesc desc{};
        desc.version = SDL_VIRTUAL_JOYSTICK_DESC_VERSION;
        desc.type = SDL_JOYSTICK_TYPE_GAMECONTROLLER;
        desc.naxes = SDL_CONTROLLER_AXIS_MAX;
        desc.nbuttons = SDL_CONTROLLER_BUTTON_MAX;
        desc.userdata = this;
        desc.Rumble = [](void* pad, Uint16 low, Uint16 high) {
            ++(low + high ? static_cast<VirtualPad*>(pad)->rumbles
                          : static_cast<VirtualPad*>(pad)->stillnesses);
            return 0;
        };
        joystick = SDL_JoystickOpen(SDL_JoystickAttachVirtualEx(&desc));
    }
    ~VirtualPad() { unplug(); }
    void set(int button, bool down) { SDL_JoystickSetVirtualButton(joystick, button, down); }
    void tilt(int axis, int value) { SDL_JoystickSetVirtualAxis(joystick, axis, Sint16(value)); }
    void unplug() {
        for (int i = 0; joystick != nullptr && i < SDL_NumJoysticks(); ++i) {
            if (SDL_JoystickGetDeviceInstanceID(i) == SDL_JoystickInstanceID(joystick)) {
                SDL_JoystickClose(std::exchange(joystick, nullptr));
                SDL_JoystickDetachVirtual(i);
            }
        }
    }
};
} // namespace

class ComfortsTest : public QObject {
    Q_OBJECT

    std::unique_ptr<ScratchDataDir> data_;
    std::unique_ptr<kestrada::view::MainWindow> w_;
    const Form& form() { return w_->form(); }
    QWidget* field() { return &w_->playField(); }
    bool paused() { return form().lblPaused().Visible; }
    std::array<int, 4> held() {
        return {form().LeftHeld, form().UpHeld, form().RightHeld, form().DownHeld};
    }
    void poll() { w_->gamepads().poll(); } // sees a controller's change at once
    void press(VirtualPad& pad, int button) {
        for (const bool down : {true, false}) {
            pad.set(button, down);
            poll();
        }
    }
    static bool activate(QWidget& window) {
        window.activateWindow();
        return QTest::qWaitForWindowActive(&window);
    }

  private Q_SLOTS:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }
    void init() {
        data_ = std::make_unique<ScratchDataDir>();
        QVERIFY(writeWave(data_->filePath(QStringLiteral("Kestrada.wav")), 3000));
        w_ = std::make_unique<kestrada::view::MainWindow>(data_->fsPath(), 7);
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
        VirtualPad pad;
        QTRY_COMPARE(w_->gamepads().connected(), 1);
        QWidget other;
        other.show();
        for (int round = 0; round < 2; ++round) { // a second leave must not resume
            QVERIFY(activate(other));
            press(pad, SDL_CONTROLLER_BUTTON_START); // nor a controller behind it
            QVERIFY(paused() && !w_->frameTimerActive() && form().LeftHeld == 0);
            QCOMPARE(w_->menus().action(&Form::mnuPause)->text(), QStringLiteral("Un&pause"));
            QTRY_COMPARE(form().sndMusic->mode(), kestrada::kModeStopped);
            QVERIFY(activate(*w_) && paused());
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
        QApplication::setPalette(QPalette(QColor(30, 30, 30), QColor(30, 30, 30)));
        kestrada::view::HelpDialog help;
        help.show();
        QVERIFY(QTest::qWaitForWindowExposed(&help));
        const QImage shot = help.grab().toImage().convertToFormat(QImage::Format_Grayscale8);
        QApplication::setPalette(desktop);
        saveScreenshot(shot, QStringLiteral("help_dark_theme.png"));
        const auto blackPixels = [&shot](QRect r) {
            int n = 0;
            for (int i = 0; i < r.width() * r.height(); ++i) {
                n += shot.pixelColor(r.topLeft() + QPoint(i % r.width(), i / r.width())).value() <
                     40;
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
        const kestrada::Control& car = form().imgCar(); // on the verge at the start
        const QImage art = w_->playField()
                               .pictures()
                               .image(kestrada::view::Picture::Car, QSize(25, 44))
                               .convertToFormat(QImage::Format_ARGB32);
        QVERIFY(car.Visible && art.size() == QSize(50, 88));
        for (int i = 0; i < art.width() * art.height(); ++i) {
            const QPoint at(i % art.width(), i / art.width());
            if (qAlpha(art.pixel(at)) == 255) {
                QCOMPARE(frame.pixel(at + QPoint(qRound(car.Left * 2), qRound(car.Top * 2))),
                         art.pixel(at));
            }
        }
        const int steps[][2] = {{Qt::Key_Plus, 3},  {Qt::Key_Plus, 4},  {Qt::Key_Plus, 4},
                                {Qt::Key_Minus, 3}, {Qt::Key_Minus, 1}, {Qt::Key_Minus, 1}};
        for (const auto& [key, zoom] : steps) {
            for (int i = zoom == 1 ? 2 : 1; i > 0; --i) {
                QTest::keyClick(w_.get(), Qt::Key(key), Qt::ControlModifier);
            }
            QCOMPARE(field()->size(), QSize(590, 477) * zoom);
            QCOMPARE(kestrada::view::savedZoom(), zoom);
        }
        QVERIFY(!paused());
    }

    // Sticks and triggers press past half their travel and let go below a
    // third; two controllers share the arrows; pulling one out lets go of
    // what only it held.
    void controllersAreKeysAndComeAndGo() {
        VirtualPad pad, other;
        QTRY_COMPARE(w_->gamepads().connected(), 2);
        const struct {
            VirtualPad* pad;
            int button, axis, value;
            std::array<int, 4> held;
        } steps[] = {
            {&pad, SDL_CONTROLLER_BUTTON_DPAD_UP, -1, 1, {0, 1, 0, 0}},
            {&other, SDL_CONTROLLER_BUTTON_DPAD_LEFT, -1, 1, {1, 1, 0, 0}},
            {&pad, SDL_CONTROLLER_BUTTON_DPAD_UP, -1, 0, {1, 0, 0, 0}},
            {&pad, -1, SDL_CONTROLLER_AXIS_TRIGGERRIGHT, 32767, {1, 1, 0, 0}},
            {&pad, -1, SDL_CONTROLLER_AXIS_TRIGGERRIGHT, -32768, {1, 0, 0, 0}}, // at rest
            {&other, SDL_CONTROLLER_BUTTON_DPAD_LEFT, -1, 0, {0, 0, 0, 0}},
            {&pad, -1, SDL_CONTROLLER_AXIS_TRIGGERLEFT, 32767, {0, 0, 0, 1}},
            {&pad, -1, SDL_CONTROLLER_AXIS_LEFTX, -15000, {0, 0, 0, 1}},
            {&pad, -1, SDL_CONTROLLER_AXIS_LEFTX, -20000, {1, 0, 0, 1}},
            {&pad, -1, SDL_CONTROLLER_AXIS_LEFTX, -12000, {1, 0, 0, 1}},
            {&pad, -1, SDL_CONTROLLER_AXIS_LEFTX, -10000, {0, 0, 0, 1}},
            {&pad, -1, SDL_CONTROLLER_AXIS_LEFTX, 32767, {0, 0, 1, 1}},
            {&other, -1, SDL_CONTROLLER_AXIS_LEFTY, -32768, {0, 1, 1, 1}},
            {&other, -1, SDL_CONTROLLER_AXIS_LEFTY, 20000, {0, 0, 1, 1}},
        };
        for (const auto& step : steps) {
            step.axis < 0 ? step.pad->set(step.button, step.value)
                          : step.pad->tilt(step.axis, step.value);
            poll();
            QVERIFY2(held() == step.held, qPrintable(QString::number(step.value)));
        }
        pad.unplug();
        QTRY_COMPARE(w_->gamepads().connected(), 1);
        QCOMPARE(held(), (std::array{0, 0, 0, 1})); // the other's stick still holds Down
        VirtualPad third;
        QTRY_COMPARE(w_->gamepads().connected(), 2);
        press(third, SDL_CONTROLLER_BUTTON_Y);
        QCOMPARE(form().WeaponChoice, int16_t(2));
        press(third, SDL_CONTROLLER_BUTTON_X);
        QCOMPARE(form().WeaponChoice, int16_t(1));
        press(third, SDL_CONTROLLER_BUTTON_START);
        QVERIFY(paused());
        press(third, SDL_CONTROLLER_BUTTON_START);
        QVERIFY(!paused());
        press(third, SDL_CONTROLLER_BUTTON_A);
        QCOMPARE(form().MissileInFlight, int16_t(1));
    }

    // A crash shakes the controller; then Start or South starts a new game.
    void startOrSouthBeginAGameAfterACrash() {
        VirtualPad pad;
        QTRY_COMPARE(w_->gamepads().connected(), 1);
        for (const int button : {SDL_CONTROLLER_BUTTON_START, SDL_CONTROLLER_BUTTON_A}) {
            const int rumbles = pad.rumbles;
            pad.tilt(SDL_CONTROLLER_AXIS_TRIGGERRIGHT, 32767);
            pad.set(SDL_CONTROLLER_BUTTON_DPAD_RIGHT, true); // off the road
            QTRY_VERIFY_WITH_TIMEOUT(form().GameOver, 5000);
            pad.tilt(SDL_CONTROLLER_AXIS_TRIGGERRIGHT, -32768);
            pad.set(SDL_CONTROLLER_BUTTON_DPAD_RIGHT, false);
            QCOMPARE(pad.rumbles, rumbles + 1);
            QTRY_COMPARE(pad.stillnesses, pad.rumbles); // over before the next
            press(pad, button);
            QVERIFY(!form().GameOver && !paused());
            QCOMPARE(form().MissileInFlight, int16_t(0)); // a new game, not a shot
        }
    }
};

QTEST_MAIN(ComfortsTest)
#include "comforts_qtest.moc"
