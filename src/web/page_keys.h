// SPDX-License-Identifier: GPL-3.0-or-later
// The browser's names of keys as the session knows them.
#pragma once

#include "halloffame/hall_of_fame_panel.h"

#include <cstdint>
#include <optional>
#include <string_view>

namespace kestrada::web {

// The key codes the game knows, from the key's place on the keyboard (the
// DOM's code), so the top-row 1 and 2 count with or without Shift on any
// layout; 0 for a key the game does not know. The touch controls name
// their keys the same way.
int16_t keyCodeOf(std::string_view code);

// A key as the hall of fame's panel takes it, from the DOM's key name: one
// of its own keys, or else the text the key types.
struct PanelKey {
    std::optional<session::HallOfFamePanel::Key> key;
    std::string_view typed;
};
PanelKey panelKeyOf(std::string_view key);

} // namespace kestrada::web
