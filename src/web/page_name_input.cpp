// SPDX-License-Identifier: GPL-3.0-or-later
#include "web/page_name_input.h"

#include <optional>

namespace kestrada::web {

using Key = session::HallOfFamePanel::Key;

namespace {

void press(session::Play& play, std::optional<Key> key, std::string_view typed) {
    play.panelKey(key, typed, true, false);
}

std::size_t caret(const session::Play& play) {
    return play.world().view(play.hallOfFame()).caret;
}

} // namespace

void setWholeName(session::Play& play, std::string_view name) {
    if (!play.naming()) {
        return;
    }
    press(play, Key::End, {});
    for (std::size_t left = caret(play); left > 0; --left) {
        press(play, Key::Backspace, {});
    }
    press(play, std::nullopt, name);
}

std::string nameShown(const session::Play& play) {
    return play.world().view(play.hallOfFame()).name;
}

void confirmName(session::Play& play) {
    if (play.naming()) {
        press(play, Key::Enter, {});
    }
}

void cancelName(session::Play& play) {
    if (play.naming()) {
        press(play, Key::Esc, {});
    }
}

} // namespace kestrada::web
