// SPDX-License-Identifier: GPL-3.0-or-later
#include "desktop/gamepad.h"

#define SDL_MAIN_HANDLED
#include <SDL.h>
#include <map>
#include <optional>

namespace kestrada::desktop {

namespace {
using session::PadAxis;
using session::PadButton;

std::optional<PadButton> padButtonOf(int button) {
    switch (button) {
    case SDL_CONTROLLER_BUTTON_A:
        return PadButton::South;
    case SDL_CONTROLLER_BUTTON_X:
        return PadButton::West;
    case SDL_CONTROLLER_BUTTON_Y:
        return PadButton::North;
    case SDL_CONTROLLER_BUTTON_START:
        return PadButton::Start;
    case SDL_CONTROLLER_BUTTON_DPAD_LEFT:
        return PadButton::PadLeft;
    case SDL_CONTROLLER_BUTTON_DPAD_UP:
        return PadButton::PadUp;
    case SDL_CONTROLLER_BUTTON_DPAD_RIGHT:
        return PadButton::PadRight;
    case SDL_CONTROLLER_BUTTON_DPAD_DOWN:
        return PadButton::PadDown;
    default:
        return std::nullopt;
    }
}

std::optional<PadAxis> padAxisOf(int axis) {
    switch (axis) {
    case SDL_CONTROLLER_AXIS_LEFTX:
        return PadAxis::StickX;
    case SDL_CONTROLLER_AXIS_LEFTY:
        return PadAxis::StickY;
    case SDL_CONTROLLER_AXIS_TRIGGERLEFT:
        return PadAxis::LeftTrigger;
    case SDL_CONTROLLER_AXIS_TRIGGERRIGHT:
        return PadAxis::RightTrigger;
    default:
        return std::nullopt;
    }
}
} // namespace

struct Gamepads::Pads {
    std::map<SDL_JoystickID, SDL_GameController*> byId;

    void add(int deviceIndex) {
        SDL_GameController* controller = SDL_GameControllerOpen(deviceIndex);
        if (controller == nullptr) {
            return;
        }
        const SDL_JoystickID id = SDL_JoystickInstanceID(SDL_GameControllerGetJoystick(controller));
        if (!byId.try_emplace(id, controller).second) {
            SDL_GameControllerClose(controller); // announced twice at start-up
        }
    }

    bool remove(SDL_JoystickID id) {
        const auto it = byId.find(id);
        if (it == byId.end()) {
            return false;
        }
        SDL_GameControllerClose(it->second);
        byId.erase(it);
        return true;
    }
};

Gamepads::Gamepads(session::Play& play, std::function<bool()> inFront, std::function<void()> handed,
                   QObject* parent)
    : QObject(parent), pads_(std::make_unique<Pads>()), play_(play), inFront_(std::move(inFront)),
      handed_(std::move(handed)) {
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
    for (auto& [id, controller] : pads_->byId) {
        SDL_GameControllerClose(controller);
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
    play_.setInFront(inFront_());
    bool handed = false;
    SDL_Event event;
    while (SDL_PollEvent(&event) != 0) {
        switch (event.type) {
        case SDL_CONTROLLERDEVICEADDED:
            pads_->add(event.cdevice.which);
            break;
        case SDL_CONTROLLERDEVICEREMOVED:
            if (pads_->remove(event.cdevice.which)) {
                play_.padGone(event.cdevice.which);
                handed = true;
            }
            break;
        case SDL_CONTROLLERBUTTONDOWN:
        case SDL_CONTROLLERBUTTONUP:
            if (const auto button = padButtonOf(event.cbutton.button);
                button && pads_->byId.contains(event.cbutton.which)) {
                play_.padButton(event.cbutton.which, *button,
                                event.type == SDL_CONTROLLERBUTTONDOWN);
                handed = true;
            }
            break;
        case SDL_CONTROLLERAXISMOTION:
            if (const auto axis = padAxisOf(event.caxis.axis);
                axis && pads_->byId.contains(event.caxis.which)) {
                play_.padAxis(event.caxis.which, *axis,
                              session::deflectionOf16Bit(event.caxis.value));
                handed = true;
            }
            break;
        default:
            break;
        }
    }
    if (handed) {
        handed_();
    }
}

void Gamepads::rumble() {
    for (const auto& [id, controller] : pads_->byId) {
        SDL_GameControllerRumble(controller, 0xC000, 0xFFFF, 300); // not all can
    }
}

} // namespace kestrada::desktop
