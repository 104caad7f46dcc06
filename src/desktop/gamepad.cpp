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
} // namespace

struct Gamepads::Pads {
    struct Pad {
        SDL_GameController* controller = nullptr;
        std::array<std::array<bool, kArrows.size()>, kSourceCount> arrows{};
        std::map<int, int16_t> pressedKeys; // button -> key it sent
    };
    std::map<SDL_JoystickID, Pad> byId;
    std::array<bool, kArrows.size()> sent{};
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
        case SDL_CONTROLLERDEVICEADDED: {
            SDL_GameController* controller = SDL_GameControllerOpen(event.cdevice.which);
            if (controller == nullptr) {
                break;
            }
            const SDL_JoystickID id =
                SDL_JoystickInstanceID(SDL_GameControllerGetJoystick(controller));
            if (!pads_->byId.try_emplace(id, Pads::Pad{controller, {}, {}}).second) {
                SDL_GameControllerClose(controller); // announced twice at start-up
            }
            break;
        }
        case SDL_CONTROLLERDEVICEREMOVED: {
            // Whatever it held is let go.
            const auto it = pads_->byId.find(event.cdevice.which);
            if (it != pads_->byId.end()) {
                SDL_GameControllerClose(it->second.controller);
                pads_->byId.erase(it);
            }
            break;
        }
        case SDL_CONTROLLERBUTTONDOWN:
        case SDL_CONTROLLERBUTTONUP: {
            const auto it = pads_->byId.find(event.cbutton.which);
            if (it == pads_->byId.end()) {
                break;
            }
            Pads::Pad& pad = it->second;
            const bool down = event.type == SDL_CONTROLLERBUTTONDOWN;
            const int button = event.cbutton.button;
            auto arrowOf = [](int b) -> int {
                switch (b) {
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
            };
            if (const int arrow = arrowOf(button); arrow >= 0) {
                pad.arrows[kDPad][static_cast<std::size_t>(arrow)] = down;
                break;
            }
            if (!down) {
                if (const auto key = pad.pressedKeys.find(button); key != pad.pressedKeys.end()) {
                    send_(GameKey{false, key->second, 0});
                    pad.pressedKeys.erase(key);
                }
                break;
            }
            int16_t code = 0;
            switch (button) {
            case SDL_CONTROLLER_BUTTON_A:
                code = gameOver_() ? kKeyEnter : kKeySpace;
                break;
            case SDL_CONTROLLER_BUTTON_X:
                code = kKey1;
                break;
            case SDL_CONTROLLER_BUTTON_Y:
                code = kKey2;
                break;
            case SDL_CONTROLLER_BUTTON_START:
                code = gameOver_() ? kKeyEnter : kKeyEsc;
                break;
            default:
                break;
            }
            if (code != 0) {
                pad.pressedKeys[button] = code;
                send_(GameKey{true, code, 0});
            }
            break;
        }
        case SDL_CONTROLLERAXISMOTION: {
            const auto it = pads_->byId.find(event.caxis.which);
            if (it == pads_->byId.end()) {
                break;
            }
            auto& stick = it->second.arrows[kStick];
            auto& triggers = it->second.arrows[kTrigger];
            const int value = event.caxis.value;
            switch (event.caxis.axis) {
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
            break;
        }
        default:
            break;
        }
        // An arrow goes down when the first source takes it and up when the
        // last lets go, across every controller.
        for (std::size_t arrow = 0; arrow < kArrows.size(); ++arrow) {
            bool held = false;
            for (const auto& [id, pad] : pads_->byId) {
                for (const auto& source : pad.arrows) {
                    held = held || source[arrow];
                }
            }
            if (held != pads_->sent[arrow]) {
                pads_->sent[arrow] = held;
                send_(GameKey{held, kArrows[arrow], 0});
            }
        }
    }
}

void Gamepads::rumble() {
    for (const auto& [id, pad] : pads_->byId) {
        SDL_GameControllerRumble(pad.controller, 0xC000, 0xFFFF, 300); // not all can
    }
}

} // namespace kestrada::desktop
