// SPDX-License-Identifier: GPL-3.0-or-later
// The window's comforts: leaving it pauses, weapon keys go by their place on
// any layout, help stays readable under a dark theme, the play area zooms,
// and controllers (SDL's virtual ones, plugged in and out) act as keys.
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

    ScratchDataDir data_;
    std::unique_ptr<kestrada::view::MainWindow> w_;
    const Form& form() { return w_->form(); }
    QWidget* field() { return &w_->playField(); }
    bool paused() { return form().lblPaused().Visible; }
    std::array<int, 4> held() {
        return {form().LeftHeld, form().UpHeld, form().RightHeld, form().DownHeld};
    }
    void press(VirtualPad& pad, int button) {
        for (const bool down : {true, false}) {
            pad.set(button, down);
            w_->gamepads().poll(); // sees a controller's change at once
        }
    }
    static bool activate(QWidget& window) {
        window.activateWindow();
        return QTest::qWaitForWindowActive(&window);
    }

  private Q_SLOTS:
    void initTestCase() {
        QStandardPaths::setTestModeEnabled(true);
        QVERIFY(writeWave(data_.filePath(QStringLiteral("Kestrada.wav")), 3000));
    }
    void init() {
        w_ = std::make_unique<kestrada::view::MainWindow>(data_.fsPath(), 7);
        w_->show();
        QVERIFY(activate(*w_));
    }
    void cleanup() { w_.reset(); }

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
        const std::tuple<int, Qt::KeyboardModifiers, quint32, int> presses[] = {
            {Qt::Key_Exclam, Qt::ShiftModifier, 10, 1}, // US Shift+1 "!"
            {Qt::Key_At, Qt::ShiftModifier, 11, 2},     // US Shift+2 "@"
            {Qt::Key_Ampersand, Qt::NoModifier, 10, 1}, // AZERTY "&"
            {Qt::Key_2, Qt::KeypadModifier, 88, 1},     // keypad 2
            {Qt::Key_Eacute, Qt::NoModifier, 11, 2},    // AZERTY "é"
        };
        QTest::keyClick(field(), Qt::Key_2);
        for (const auto& [key, modifiers, scanCode, weapon] : presses) {
            for (const auto type : {QEvent::KeyPress, QEvent::KeyRelease}) {
                QKeyEvent event(type, key, modifiers, scanCode, 0, 0);
                QApplication::sendEvent(field(), &event);
            }
            QCOMPARE(form().WeaponChoice, weapon);
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
        const QRect words = help.lblInstructions()->geometry();
        int black = 0; // the words
        for (int i = 0; i < words.width() * words.height(); ++i) {
            black +=
                qGray(shot.pixel(words.topLeft() + QPoint(i % words.width(), i / words.width()))) <
                40;
        }
        QVERIFY(qGray(shot.pixel(words.topLeft())) == 255 && black > 500);
    }

    // At zoom 2 the car's own picture, rendered for that zoom, lies pixel
    // for pixel at twice its place: crisp, not stretched.
    void zoomDrawsLargerAndCtrlPlusMinusAreRemembered() {
        w_->setZoom(2);
        QTRY_VERIFY(field()->size() == QSize(1180, 954) && w_->minimumSize() == w_->maximumSize());
        const QImage frame = field()->grab().toImage().convertToFormat(QImage::Format_ARGB32);
        saveScreenshot(frame, QStringLiteral("zoom2.png"));
        const kestrada::Control& car = form().imgCar(); // on the verge at the start
        const QImage art = w_->playField().pictures().image(kestrada::view::Picture::Car, {25, 44});
        QVERIFY(car.Visible && art.size() == QSize(50, 88));
        for (int i = 0; i < art.width() * art.height(); ++i) {
            const QPoint at(i % art.width(), i / art.width());
            const QPoint place(qRound(car.Left * 2), qRound(car.Top * 2));
            QVERIFY(qAlpha(art.pixel(at)) < 255 || frame.pixel(at + place) == art.pixel(at));
        }
        // Ctrl+Plus thrice from 2 stops at 4; Ctrl+Minus four times stops at 1.
        for (const auto& [key, times, zoom] :
             {std::tuple{Qt::Key_Plus, 3, 4}, std::tuple{Qt::Key_Minus, 4, 1}}) {
            for (int i = 0; i < times; ++i) {
                QTest::keyClick(w_.get(), key, Qt::ControlModifier);
            }
            QCOMPARE(field()->size(), QSize(590, 477) * zoom);
            QCOMPARE(kestrada::view::savedZoom(), zoom);
        }
        QVERIFY(!paused());
    }

    // Sticks and triggers press past half their travel and let go below a
    // third; two controllers share the arrows; pulling one out lets go of
    // what only it held. A crash shakes the controller; then Start or South
    // starts a new game.
    void controllersAreKeysAndComeAndGo() {
        VirtualPad pad, other;
        QTRY_COMPARE(w_->gamepads().connected(), 2);
        const std::tuple<VirtualPad*, int, int, int, std::array<int, 4>> steps[] = {
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
            {&other, -1, SDL_CONTROLLER_AXIS_LEFTY, 20000, {0, 0, 0, 1}},
        };
        for (const auto& [which, button, axis, value, arrows] : steps) {
            axis < 0 ? which->set(button, value) : which->tilt(axis, value);
            w_->gamepads().poll();
            QVERIFY2(held() == arrows, qPrintable(QString::number(value)));
        }
        pad.unplug();
        QTRY_COMPARE(w_->gamepads().connected(), 1);
        QCOMPARE(held(), (std::array{0, 0, 0, 1})); // the other's stick still holds Down
        other.tilt(SDL_CONTROLLER_AXIS_LEFTY, 0);
        VirtualPad third;
        QTRY_COMPARE(w_->gamepads().connected(), 2);
        press(third, SDL_CONTROLLER_BUTTON_Y);
        press(third, SDL_CONTROLLER_BUTTON_START);
        QVERIFY(form().WeaponChoice == 2 && paused());
        press(third, SDL_CONTROLLER_BUTTON_START);
        press(third, SDL_CONTROLLER_BUTTON_A);
        QVERIFY(!paused() && form().MissileInFlight == 1);
        for (const int button : {SDL_CONTROLLER_BUTTON_START, SDL_CONTROLLER_BUTTON_A}) {
            const int rumbles = third.rumbles;
            third.tilt(SDL_CONTROLLER_AXIS_TRIGGERRIGHT, 32767);
            third.set(SDL_CONTROLLER_BUTTON_DPAD_RIGHT, true); // off the road
            QTRY_VERIFY_WITH_TIMEOUT(form().GameOver, 5000);
            third.tilt(SDL_CONTROLLER_AXIS_TRIGGERRIGHT, -32768);
            third.set(SDL_CONTROLLER_BUTTON_DPAD_RIGHT, false);
            QCOMPARE(third.rumbles, rumbles + 1);
            QTRY_COMPARE(third.stillnesses, third.rumbles); // over before the next
            press(third, button);
            QVERIFY(!form().GameOver && !paused());
            QCOMPARE(form().MissileInFlight, int16_t(0)); // a new game, not a shot
        }
    }
};

QTEST_MAIN(ComfortsTest)
#include "comforts_qtest.moc"
