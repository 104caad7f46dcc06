// SPDX-License-Identifier: GPL-3.0-or-later
// Controllers drive the real window exactly as the keyboard does. SDL's
// virtual joysticks stand in for the hardware: plugged in and out while the
// game runs, their buttons, sticks and triggers reach the model's key
// handlers, and a crash shakes them.
#include "app/form.h"
#include "view/gamepad.h"
#include "view/main_window.h"
#include "view/qtest_support.h"

#include <QTest>
#include <memory>

#define SDL_MAIN_HANDLED
#include <SDL.h>

using kestrada::Form;
using kestrada::view::MainWindow;
using namespace kestrada::view::testing;

namespace {
// One virtual controller with every button and axis a game controller has.
class VirtualPad {
  public:
    VirtualPad() {
        SDL_VirtualJoystickDesc desc;
        SDL_zero(desc);
        desc.version = SDL_VIRTUAL_JOYSTICK_DESC_VERSION;
        desc.type = SDL_JOYSTICK_TYPE_GAMECONTROLLER;
        desc.naxes = SDL_CONTROLLER_AXIS_MAX;
        desc.nbuttons = SDL_CONTROLLER_BUTTON_MAX;
        desc.name = "test pad";
        desc.userdata = this;
        desc.Rumble = [](void* self, Uint16 low, Uint16 high) {
            auto* pad = static_cast<VirtualPad*>(self);
            ++(low != 0 || high != 0 ? pad->rumbles : pad->stillnesses);
            return 0;
        };
        const int index = SDL_JoystickAttachVirtualEx(&desc);
        joystick_ = index < 0 ? nullptr : SDL_JoystickOpen(index);
    }
    ~VirtualPad() { unplug(); }
    VirtualPad(const VirtualPad&) = delete;
    VirtualPad& operator=(const VirtualPad&) = delete;

    bool plugged() const { return joystick_ != nullptr; }
    void button(SDL_GameControllerButton b, bool down) {
        SDL_JoystickSetVirtualButton(joystick_, b, down ? 1 : 0);
    }
    void axis(SDL_GameControllerAxis a, int value) {
        SDL_JoystickSetVirtualAxis(joystick_, a, static_cast<Sint16>(value));
    }
    void unplug() {
        if (joystick_ != nullptr) {
            const SDL_JoystickID id = SDL_JoystickInstanceID(joystick_);
            SDL_JoystickClose(joystick_);
            joystick_ = nullptr;
            for (int i = 0; i < SDL_NumJoysticks(); ++i) {
                if (SDL_JoystickGetDeviceInstanceID(i) == id) {
                    SDL_JoystickDetachVirtual(i);
                }
            }
        }
    }

    int rumbles = 0;
    int stillnesses = 0; // a rumble ends with a call to be still

  private:
    SDL_Joystick* joystick_ = nullptr;
};
} // namespace

class GamepadTest : public QObject {
    Q_OBJECT

  private:
    std::unique_ptr<ScratchDataDir> data_;
    std::unique_ptr<MainWindow> window_;

    const Form& form() { return window_->form(); }
    kestrada::view::Gamepads& pads() { return window_->gamepads(); }

    // A press is seen at the window's next poll; polling here makes it now.
    void press(VirtualPad& pad, SDL_GameControllerButton b) {
        pad.button(b, true);
        pads().poll();
        pad.button(b, false);
        pads().poll();
    }

    void crash(VirtualPad& pad) {
        pad.axis(SDL_CONTROLLER_AXIS_TRIGGERRIGHT, 32767);
        pad.button(SDL_CONTROLLER_BUTTON_DPAD_RIGHT, true);
        QTRY_VERIFY_WITH_TIMEOUT(form().GameOver, 5000);
        pad.axis(SDL_CONTROLLER_AXIS_TRIGGERRIGHT, 0);
        pad.button(SDL_CONTROLLER_BUTTON_DPAD_RIGHT, false);
        pads().poll();
    }

  private Q_SLOTS:
    void init() {
        data_ = std::make_unique<ScratchDataDir>();
        window_ = std::make_unique<MainWindow>(data_->fsPath(), 11);
        window_->show();
        QVERIFY(QTest::qWaitForWindowExposed(window_.get()));
        QVERIFY(pads().available());
    }

    void cleanup() {
        window_.reset();
        data_.reset();
    }

    void buttonsTriggersAndDPadAreTheGameKeys() {
        VirtualPad pad;
        QVERIFY(pad.plugged());
        QTRY_COMPARE(pads().connected(), 1);

        struct Hold {
            const char* what;
            SDL_GameControllerButton button; // or an axis when INVALID
            SDL_GameControllerAxis axis;
            int32_t Form::*flag;
        };
        const Hold holds[] = {
            {"d-pad up", SDL_CONTROLLER_BUTTON_DPAD_UP, SDL_CONTROLLER_AXIS_INVALID, &Form::UpHeld},
            {"d-pad down", SDL_CONTROLLER_BUTTON_DPAD_DOWN, SDL_CONTROLLER_AXIS_INVALID,
             &Form::DownHeld},
            {"d-pad left", SDL_CONTROLLER_BUTTON_DPAD_LEFT, SDL_CONTROLLER_AXIS_INVALID,
             &Form::LeftHeld},
            {"d-pad right", SDL_CONTROLLER_BUTTON_DPAD_RIGHT, SDL_CONTROLLER_AXIS_INVALID,
             &Form::RightHeld},
            {"right trigger", SDL_CONTROLLER_BUTTON_INVALID, SDL_CONTROLLER_AXIS_TRIGGERRIGHT,
             &Form::UpHeld},
            {"left trigger", SDL_CONTROLLER_BUTTON_INVALID, SDL_CONTROLLER_AXIS_TRIGGERLEFT,
             &Form::DownHeld},
        };
        for (const Hold& hold : holds) {
            for (const bool down : {true, false}) {
                if (hold.button != SDL_CONTROLLER_BUTTON_INVALID) {
                    pad.button(hold.button, down);
                } else {
                    pad.axis(hold.axis, down ? 32767 : -32768); // a trigger's rest
                }
                pads().poll();
                QVERIFY2(form().*hold.flag == (down ? 1 : 0), hold.what);
            }
        }

        press(pad, SDL_CONTROLLER_BUTTON_Y);
        QCOMPARE(form().WeaponChoice, int16_t(2));
        press(pad, SDL_CONTROLLER_BUTTON_X);
        QCOMPARE(form().WeaponChoice, int16_t(1));
        press(pad, SDL_CONTROLLER_BUTTON_A);
        QCOMPARE(form().MissileInFlight, int16_t(1));
        press(pad, SDL_CONTROLLER_BUTTON_START);
        QVERIFY(form().lblPaused().Visible);
        press(pad, SDL_CONTROLLER_BUTTON_START);
        QVERIFY(!form().lblPaused().Visible);
        QVERIFY(!form().GameOver);
    }

    // Past half the travel presses, below a third lets go, in between the
    // arrow stays as it was.
    void stickPressesPastHalfAndReleasesBelowAThird() {
        VirtualPad pad;
        QTRY_COMPARE(pads().connected(), 1);
        struct Step {
            SDL_GameControllerAxis axis;
            int value;
            int32_t left, right, up, down;
        };
        const Step steps[] = {
            {SDL_CONTROLLER_AXIS_LEFTX, -15000, 0, 0, 0, 0},
            {SDL_CONTROLLER_AXIS_LEFTX, -20000, 1, 0, 0, 0},
            {SDL_CONTROLLER_AXIS_LEFTX, -12000, 1, 0, 0, 0},
            {SDL_CONTROLLER_AXIS_LEFTX, -10000, 0, 0, 0, 0},
            {SDL_CONTROLLER_AXIS_LEFTX, -15000, 0, 0, 0, 0},
            {SDL_CONTROLLER_AXIS_LEFTX, -32768, 1, 0, 0, 0},
            {SDL_CONTROLLER_AXIS_LEFTX, 32767, 0, 1, 0, 0},
            {SDL_CONTROLLER_AXIS_LEFTX, 12000, 0, 1, 0, 0},
            {SDL_CONTROLLER_AXIS_LEFTY, -20000, 0, 1, 1, 0},
            {SDL_CONTROLLER_AXIS_LEFTX, 0, 0, 0, 1, 0},
            {SDL_CONTROLLER_AXIS_LEFTY, 20000, 0, 0, 0, 1},
            {SDL_CONTROLLER_AXIS_LEFTY, 0, 0, 0, 0, 0},
        };
        for (const Step& step : steps) {
            pad.axis(step.axis, step.value);
            pads().poll();
            const QString at = QStringLiteral("axis %1 at %2").arg(step.axis).arg(step.value);
            QVERIFY2(form().LeftHeld == step.left && form().RightHeld == step.right &&
                         form().UpHeld == step.up && form().DownHeld == step.down,
                     qPrintable(at));
        }
    }

    // Two controllers share the arrows; pulling one out lets go of what
    // only it held.
    void controllersComeAndGoWhileHolding() {
        VirtualPad first;
        VirtualPad second;
        QTRY_COMPARE(pads().connected(), 2);
        first.button(SDL_CONTROLLER_BUTTON_DPAD_LEFT, true);
        second.axis(SDL_CONTROLLER_AXIS_LEFTX, -32768);
        second.axis(SDL_CONTROLLER_AXIS_TRIGGERRIGHT, 32767);
        pads().poll();
        QCOMPARE(form().LeftHeld, 1);
        QCOMPARE(form().UpHeld, 1);
        first.button(SDL_CONTROLLER_BUTTON_DPAD_LEFT, false);
        pads().poll();
        QCOMPARE(form().LeftHeld, 1); // the second still holds it

        second.unplug();
        QTRY_COMPARE(pads().connected(), 1);
        QCOMPARE(form().LeftHeld, 0);
        QCOMPARE(form().UpHeld, 0);

        VirtualPad third; // plugged in while the game runs
        QTRY_COMPARE(pads().connected(), 2);
        third.button(SDL_CONTROLLER_BUTTON_DPAD_DOWN, true);
        pads().poll();
        QCOMPARE(form().DownHeld, 1);
        third.unplug();
        QTRY_COMPARE(pads().connected(), 1);
        QCOMPARE(form().DownHeld, 0);
    }

    // After a crash Start and South start a new game; the crash shakes the
    // controller.
    void startOrSouthBeginAGameAfterACrash() {
        VirtualPad pad;
        QTRY_COMPARE(pads().connected(), 1);
        for (const auto button : {SDL_CONTROLLER_BUTTON_START, SDL_CONTROLLER_BUTTON_A}) {
            const int rumbles = pad.rumbles;
            crash(pad);
            QCOMPARE(pad.rumbles, rumbles + 1);
            QTRY_COMPARE(pad.stillnesses, pad.rumbles); // short, and over before the next
            press(pad, button);
            QVERIFY(!form().GameOver);
            QVERIFY(!form().lblPaused().Visible);
            QCOMPARE(form().MissileInFlight, int16_t(0)); // a new game, not a shot
        }
    }
};

QTEST_MAIN(GamepadTest)
#include "gamepad_qtest.moc"
