// SPDX-License-Identifier: GPL-3.0-or-later
#include "desktop/gamepad.h"

#include "app/key_codes.h"

#define SDL_MAIN_HANDLED
#include <SDL.h>
#include <array>
#include <map>

namespace kestrada::desktop {

namespace {
// Arrows in a fixed order, so each controller can say which it holds.
constexpr std::array<int16_t, 4> kArrows{kKeyLeft, kKeyUp, kKeyRight, kKeyDown};
enum Arrow { kLeft, kUp, kRight, kDown };

// Each way a controller can hold an arrow; an arrow is held while any is.
enum Source { kDPad, kStick, kTrigger, kSourceCount };

// A stick or trigger presses past half its travel and lets go below a
// third, so a thumb resting near the line never chatters.
constexpr int kPressAt = 16384;
constexpr int kReleaseAt = 10923;

void holdWithHysteresis(bool& held, int deflection) {
    if (!held && deflection > kPressAt) {
        held = true;
    } else if (held && deflection < kReleaseAt) {
        held = false;
    }
}

int clampedNegation(int value) {
    return value == -32768 ? 32767 : -value;
}

int arrowOfButton(int button) {
    switch (button) {
    case SDL_CONTROLLER_BUTTON_DPAD_LEFT:
        return kLeft;
    case SDL_CONTROLLER_BUTTON_DPAD_UP:
        return kUp;
    case SDL_CONTROLLER_BUTTON_DPAD_RIGHT:
        return kRight;
    case SDL_CONTROLLER_BUTTON_DPAD_DOWN:
        return kDown;
    default:
        return -1;
    }
}

// The key a button sends; after a crash, South and Start start a new game.
int16_t keyOfButton(int button, bool gameOver) {
    switch (button) {
    case SDL_CONTROLLER_BUTTON_A:
        return gameOver ? kKeyEnter : kKeySpace;
    case SDL_CONTROLLER_BUTTON_X:
        return kKey1;
    case SDL_CONTROLLER_BUTTON_Y:
        return kKey2;
    case SDL_CONTROLLER_BUTTON_START:
        return gameOver ? kKeyEnter : kKeyEsc;
    default:
        return 0;
    }
}
} // namespace

struct Gamepads::Pads {
    struct Pad {
        SDL_GameController* controller = nullptr;
        std::array<std::array<bool, kArrows.size()>, kSourceCount> arrows{};
        std::map<int, int16_t> pressedKeys; // button -> key it sent
    };
    std::map<SDL_JoystickID, Pad> byId;
    std::array<bool, kArrows.size()> sent{};

    Pad* find(SDL_JoystickID id) {
        const auto it = byId.find(id);
        return it == byId.end() ? nullptr : &it->second;
    }

    void add(int deviceIndex) {
        SDL_GameController* controller = SDL_GameControllerOpen(deviceIndex);
        if (controller == nullptr) {
            return;
        }
        const SDL_JoystickID id = SDL_JoystickInstanceID(SDL_GameControllerGetJoystick(controller));
        if (!byId.try_emplace(id, Pad{controller, {}, {}}).second) {
            SDL_GameControllerClose(controller); // announced twice at start-up
        }
    }

    // Whatever it held is let go.
    void remove(SDL_JoystickID id) {
        const auto it = byId.find(id);
        if (it != byId.end()) {
            SDL_GameControllerClose(it->second.controller);
            byId.erase(it);
        }
    }

    // The d-pad holds arrows; other buttons send their key down and, on
    // release, the same key up, even if the game has crashed in between.
    void button(const SDL_ControllerButtonEvent& event, bool down, bool gameOver,
                const std::function<void(const GameKey&)>& send) {
        Pad* pad = find(event.which);
        if (pad == nullptr) {
            return;
        }
        const int button = event.button;
        if (const int arrow = arrowOfButton(button); arrow >= 0) {
            pad->arrows[kDPad][static_cast<std::size_t>(arrow)] = down;
            return;
        }
        if (!down) {
            if (const auto key = pad->pressedKeys.find(button); key != pad->pressedKeys.end()) {
                send(GameKey{false, key->second, 0});
                pad->pressedKeys.erase(key);
            }
            return;
        }
        if (const int16_t code = keyOfButton(button, gameOver); code != 0) {
            pad->pressedKeys[button] = code;
            send(GameKey{true, code, 0});
        }
    }

    void axis(const SDL_ControllerAxisEvent& event) {
        Pad* pad = find(event.which);
        if (pad == nullptr) {
            return;
        }
        auto& stick = pad->arrows[kStick];
        auto& triggers = pad->arrows[kTrigger];
        const int value = event.value;
        switch (event.axis) {
        case SDL_CONTROLLER_AXIS_LEFTX:
            holdWithHysteresis(stick[kLeft], clampedNegation(value));
            holdWithHysteresis(stick[kRight], value);
            break;
        case SDL_CONTROLLER_AXIS_LEFTY:
            holdWithHysteresis(stick[kUp], clampedNegation(value));
            holdWithHysteresis(stick[kDown], value);
            break;
        case SDL_CONTROLLER_AXIS_TRIGGERRIGHT:
            holdWithHysteresis(triggers[kUp], value);
            break;
        case SDL_CONTROLLER_AXIS_TRIGGERLEFT:
            holdWithHysteresis(triggers[kDown], value);
            break;
        default:
            break;
        }
    }

    // An arrow goes down when the first source takes it and up when the
    // last lets go, across every controller.
    void sendArrowChanges(const std::function<void(const GameKey&)>& send) {
        for (std::size_t arrow = 0; arrow < kArrows.size(); ++arrow) {
            bool held = false;
            for (const auto& [id, pad] : byId) {
                for (const auto& source : pad.arrows) {
                    held = held || source[arrow];
                }
            }
            if (held != sent[arrow]) {
                sent[arrow] = held;
                send(GameKey{held, kArrows[arrow], 0});
            }
        }
    }
};

Gamepads::Gamepads(std::function<void(const GameKey&)> send, std::function<bool()> gameOver,
                   QObject* parent)
    : QObject(parent), pads_(std::make_unique<Pads>()), send_(std::move(send)),
      gameOver_(std::move(gameOver)) {
    // Qt keeps its own signal handlers; SDL is only asked for controllers.
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    SDL_SetHint(SDL_HINT_JOYSTICK_ALLOW_BACKGROUND_EVENTS, "1");
    available_ = SDL_InitSubSystem(SDL_INIT_GAMECONTROLLER) == 0;
    if (!available_) {
        return;
    }
    connect(&pollTimer_, &QTimer::timeout, this, &Gamepads::poll);
    pollTimer_.start(16);
}

Gamepads::~Gamepads() {
    if (!available_) {
        return;
    }
    for (auto& [id, pad] : pads_->byId) {
        SDL_GameControllerClose(pad.controller);
    }
    SDL_QuitSubSystem(SDL_INIT_GAMECONTROLLER);
}

int Gamepads::connected() const {
    return static_cast<int>(pads_->byId.size());
}

void Gamepads::poll() {
    if (!available_) {
        return;
    }
    SDL_Event event;
    while (SDL_PollEvent(&event) != 0) {
        switch (event.type) {
        case SDL_CONTROLLERDEVICEADDED:
            pads_->add(event.cdevice.which);
            break;
        case SDL_CONTROLLERDEVICEREMOVED:
            pads_->remove(event.cdevice.which);
            break;
        case SDL_CONTROLLERBUTTONDOWN:
        case SDL_CONTROLLERBUTTONUP:
            pads_->button(event.cbutton, event.type == SDL_CONTROLLERBUTTONDOWN, gameOver_(),
                          send_);
            break;
        case SDL_CONTROLLERAXISMOTION:
            pads_->axis(event.caxis);
            break;
        default:
            break;
        }
        pads_->sendArrowChanges(send_);
    }
}

void Gamepads::rumble() {
    for (const auto& [id, pad] : pads_->byId) {
        SDL_GameControllerRumble(pad.controller, 0xC000, 0xFFFF, 300); // not all can
    }
}

} // namespace kestrada::desktop
