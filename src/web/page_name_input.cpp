// SPDX-License-Identifier: GPL-3.0-or-later
#include "web/page_name_input.h"

#include <optional>

namespace kestrada::web {

using Key = session::HallOfFamePanel::Key;

namespace {

void press(session::Play& play, std::optional<Key> key, std::string_view typed) {
    play.panelKey(key, typed, true, false);
}

} // namespace

void setWholeName(session::Play& play, std::string_view name) {
    const session::HallOfFamePanel& panel = play.hallOfFame();
    if (!panel.editing()) {
        return;
    }
    press(play, Key::End, {});
    for (std::size_t left = panel.caret(); left > 0; --left) {
        press(play, Key::Backspace, {});
    }
    press(play, std::nullopt, name);
}

void confirmName(session::Play& play) {
    if (play.hallOfFame().editing()) {
        press(play, Key::Enter, {});
    }
}

} // namespace kestrada::web
