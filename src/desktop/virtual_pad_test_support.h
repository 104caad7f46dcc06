// SPDX-License-Identifier: GPL-3.0-or-later
// An SDL virtual controller for the window's tests, which the window's
// controller support sees as a real one.
#pragma once

#define SDL_MAIN_HANDLED
#include <SDL.h>
#include <utility>

namespace kestrada::desktop::testing {

// A virtual controller with every button and axis; it counts rumbles.
struct VirtualPad {
    SDL_Joystick* joystick = nullptr;
    int rumbles = 0;
    int stillnesses = 0; // a rumble ends with a call to be still
    VirtualPad() {
        SDL_VirtualJoystickDesc desc{};
        desc.version = SDL_VIRTUAL_JOYSTICK_DESC_VERSION;
        desc.type = SDL_JOYSTICK_TYPE_GAMECONTROLLER;
        desc.naxes = SDL_CONTROLLER_AXIS_MAX;
        desc.nbuttons = SDL_CONTROLLER_BUTTON_MAX;
        desc.userdata = this;
        desc.Rumble = [](void* userdata, Uint16 low, Uint16 high) {
            auto* pad = static_cast<VirtualPad*>(userdata);
            if (low + high > 0) {
                ++pad->rumbles;
            } else {
                ++pad->stillnesses;
            }
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

} // namespace kestrada::desktop::testing
