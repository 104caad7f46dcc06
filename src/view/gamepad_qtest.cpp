// SPDX-License-Identifier: GPL-3.0-or-later
// Controllers drive the real window exactly as the keyboard does, with
// SDL's virtual joysticks plugged in and out while the game runs.
#include "app/form.h"
#include "view/gamepad.h"
#include "view/main_window.h"
#include "view/qtest_support.h"

#include <QTest>
#include <memory>

#define SDL_MAIN_HANDLED
#include <SDL.h>

using kestrada::Form;
using namespace kestrada::view::testing;

namespace {
// A virtual controller with every button and axis; it counts rumbles.
struct VirtualPad {
    SDL_Joystick* joystick = nullptr;
    int rumbles = 0;
    int stillnesses = 0; // a rumble ends with a call to be still

    VirtualPad() {
        SDL_VirtualJoystickDesc desc;
        SDL_zero(desc);
        desc.version = SDL_VIRTUAL_JOYSTICK_DESC_VERSION;
        desc.type = SDL_JOYSTICK_TYPE_GAMECONTROLLER;
        desc.naxes = SDL_CONTROLLER_AXIS_MAX;
        desc.nbuttons = SDL_CONTROLLER_BUTTON_MAX;
        desc.userdata = this;
        desc.Rumble = [](void* self, Uint16 low, Uint16 high) {
            auto* pad = static_cast<VirtualPad*>(self);
            ++(low != 0 || high != 0 ? pad->rumbles : pad->stillnesses);
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

class GamepadTest : public QObject {
    Q_OBJECT

    std::unique_ptr<ScratchDataDir> data_;
    std::unique_ptr<kestrada::view::MainWindow> w_;
    const Form& form() { return w_->form(); }
    // What the game holds: Left, Up, Right, Down.
    std::array<int, 4> held() {
        return {form().LeftHeld, form().UpHeld, form().RightHeld, form().DownHeld};
    }
    // The window polls on a timer; polling here sees the change at once.
    void press(VirtualPad& pad, int button) {
        for (const bool down : {true, false}) {
            pad.set(button, down);
            w_->gamepads().poll();
        }
    }

  private Q_SLOTS:
    void init() {
        data_ = std::make_unique<ScratchDataDir>();
        w_ = std::make_unique<kestrada::view::MainWindow>(data_->fsPath(), 11);
        w_->show();
        QVERIFY(QTest::qWaitForWindowExposed(w_.get()));
    }
    void cleanup() {
        w_.reset();
        data_.reset();
    }

    // Sticks and triggers press past half their travel and let go below a
    // third; in between an arrow stays as it was.
    void buttonsSticksAndTriggersAreTheGameKeys() {
        VirtualPad pad;
        QTRY_COMPARE(w_->gamepads().connected(), 1);
        enum { Button, Axis };
        const struct {
            int kind, which, value;
            std::array<int, 4> held;
        } steps[] = {
            {Button, SDL_CONTROLLER_BUTTON_DPAD_UP, 1, {0, 1, 0, 0}},
            {Button, SDL_CONTROLLER_BUTTON_DPAD_LEFT, 1, {1, 1, 0, 0}},
            {Button, SDL_CONTROLLER_BUTTON_DPAD_UP, 0, {1, 0, 0, 0}},
            {Button, SDL_CONTROLLER_BUTTON_DPAD_LEFT, 0, {0, 0, 0, 0}},
            {Axis, SDL_CONTROLLER_AXIS_TRIGGERRIGHT, 32767, {0, 1, 0, 0}},
            {Axis, SDL_CONTROLLER_AXIS_TRIGGERRIGHT, -32768, {0, 0, 0, 0}}, // rest
            {Axis, SDL_CONTROLLER_AXIS_TRIGGERLEFT, 32767, {0, 0, 0, 1}},
            {Axis, SDL_CONTROLLER_AXIS_TRIGGERLEFT, -32768, {0, 0, 0, 0}},
            {Axis, SDL_CONTROLLER_AXIS_LEFTX, -15000, {0, 0, 0, 0}},
            {Axis, SDL_CONTROLLER_AXIS_LEFTX, -20000, {1, 0, 0, 0}},
            {Axis, SDL_CONTROLLER_AXIS_LEFTX, -12000, {1, 0, 0, 0}},
            {Axis, SDL_CONTROLLER_AXIS_LEFTX, -10000, {0, 0, 0, 0}},
            {Axis, SDL_CONTROLLER_AXIS_LEFTX, -15000, {0, 0, 0, 0}},
            {Axis, SDL_CONTROLLER_AXIS_LEFTX, 32767, {0, 0, 1, 0}},
            {Axis, SDL_CONTROLLER_AXIS_LEFTY, -32768, {0, 1, 1, 0}},
            {Axis, SDL_CONTROLLER_AXIS_LEFTX, 0, {0, 1, 0, 0}},
            {Axis, SDL_CONTROLLER_AXIS_LEFTY, 20000, {0, 0, 0, 1}},
            {Axis, SDL_CONTROLLER_AXIS_LEFTY, 0, {0, 0, 0, 0}},
        };
        for (const auto& step : steps) {
            step.kind == Button ? pad.set(step.which, step.value)
                                : pad.tilt(step.which, step.value);
            w_->gamepads().poll();
            QVERIFY2(held() == step.held, qPrintable(QString::number(step.value)));
        }
        press(pad, SDL_CONTROLLER_BUTTON_Y);
        QCOMPARE(form().WeaponChoice, int16_t(2));
        press(pad, SDL_CONTROLLER_BUTTON_X);
        QCOMPARE(form().WeaponChoice, int16_t(1));
        press(pad, SDL_CONTROLLER_BUTTON_A);
        QCOMPARE(form().MissileInFlight, int16_t(1));
        for (const bool paused : {true, false}) {
            press(pad, SDL_CONTROLLER_BUTTON_START);
            QCOMPARE(form().lblPaused().Visible, paused);
        }
    }

    // Two controllers share the arrows; pulling one out lets go of what
    // only it held; one plugged in during play works at once.
    void controllersComeAndGoWhileHolding() {
        VirtualPad first, second;
        QTRY_COMPARE(w_->gamepads().connected(), 2);
        first.set(SDL_CONTROLLER_BUTTON_DPAD_LEFT, true);
        second.tilt(SDL_CONTROLLER_AXIS_LEFTX, -32768);
        second.tilt(SDL_CONTROLLER_AXIS_TRIGGERRIGHT, 32767);
        w_->gamepads().poll();
        first.set(SDL_CONTROLLER_BUTTON_DPAD_LEFT, false);
        w_->gamepads().poll();
        QCOMPARE(held(), (std::array{1, 1, 0, 0}));
        second.unplug();
        QTRY_COMPARE(w_->gamepads().connected(), 1);
        QCOMPARE(held(), (std::array{0, 0, 0, 0}));
        VirtualPad third;
        QTRY_COMPARE(w_->gamepads().connected(), 2);
        third.set(SDL_CONTROLLER_BUTTON_DPAD_DOWN, true);
        w_->gamepads().poll();
        QCOMPARE(form().DownHeld, 1);
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
            QVERIFY(!form().GameOver && !form().lblPaused().Visible);
            QCOMPARE(form().MissileInFlight, int16_t(0)); // a new game, not a shot
        }
    }
};

QTEST_MAIN(GamepadTest)
#include "gamepad_qtest.moc"
