// SPDX-License-Identifier: GPL-3.0-or-later
#include "desktop/key_mapping.h"

#include "app/key_codes.h"

#include <QGuiApplication>

namespace kestrada::desktop {

std::optional<int16_t> virtualKeyCode(int qtKey, Qt::KeyboardModifiers modifiers) {
    switch (qtKey) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        return kKeyEnter;
    case Qt::Key_Escape:
        return kKeyEsc;
    case Qt::Key_Space:
        return kKeySpace;
    case Qt::Key_Left:
        return kKeyLeft;
    case Qt::Key_Up:
        return kKeyUp;
    case Qt::Key_Right:
        return kKeyRight;
    case Qt::Key_Down:
        return kKeyDown;
    default:
        break;
    }
    if (qtKey >= Qt::Key_0 && qtKey <= Qt::Key_9) {
        if (modifiers.testFlag(Qt::KeypadModifier)) {
            return std::nullopt;
        }
        return static_cast<int16_t>(qtKey);
    }
    if (qtKey >= Qt::Key_A && qtKey <= Qt::Key_Z) {
        return static_cast<int16_t>(qtKey);
    }
    return std::nullopt;
}

namespace {
// X11 and Wayland report xkb key codes (the kernel's code + 8): the top-row
// 1 and 2 are 10 and 11 on every layout. The offscreen platform has no
// keyboard of its own; events sent to it follow the same codes.
bool reportsXkbKeyCodes() {
    const QString platform = QGuiApplication::platformName();
    return platform.startsWith(QLatin1String("xcb")) ||
           platform.startsWith(QLatin1String("wayland")) || platform == QLatin1String("offscreen");
}

constexpr quint32 kXkbTopRow1 = 10;
constexpr quint32 kXkbTopRow2 = 11;
} // namespace

std::optional<int16_t> gameKeyCode(const QKeyEvent& event) {
    const bool keypad = event.modifiers().testFlag(Qt::KeypadModifier);
    const quint32 scanCode = event.nativeScanCode();
    if (scanCode != 0 && !keypad && reportsXkbKeyCodes()) {
        if (scanCode == kXkbTopRow1) {
            return kKey1;
        }
        if (scanCode == kXkbTopRow2) {
            return kKey2;
        }
    }
    return virtualKeyCode(event.key(), event.modifiers());
}

std::optional<GameKey> gameKeyFor(const QKeyEvent& event) {
    const auto code = gameKeyCode(event);
    if (!code) {
        return std::nullopt;
    }
    return GameKey{event.type() == QEvent::KeyPress, *code, event.isAutoRepeat()};
}

bool isPlayKey(const QKeyEvent& event) {
    if (event.modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier)) {
        return false;
    }
    const auto code = gameKeyCode(event);
    if (!code) {
        return false;
    }
    switch (*code) {
    case kKeyEnter:
    case kKeyEsc:
    case kKeySpace:
    case kKeyLeft:
    case kKeyUp:
    case kKeyRight:
    case kKeyDown:
    case kKey1:
    case kKey2:
        return true;
    default:
        return false;
    }
}

bool isArrow(int16_t code) {
    return code == kKeyLeft || code == kKeyUp || code == kKeyRight || code == kKeyDown;
}

} // namespace kestrada::desktop
