// SPDX-License-Identifier: GPL-3.0-or-later
#include "web/page_keys.h"

#include "app/key_codes.h"

#include <algorithm>
#include <iterator>
#include <utility>

namespace kestrada::web {

int16_t keyCodeOf(std::string_view code) {
    static const std::pair<std::string_view, int16_t> kNamed[] = {
        {"ArrowLeft", kKeyLeft},    {"ArrowUp", kKeyUp},  {"ArrowRight", kKeyRight},
        {"ArrowDown", kKeyDown},    {"Space", kKeySpace}, {"Enter", kKeyEnter},
        {"NumpadEnter", kKeyEnter}, {"Escape", kKeyEsc},
    };
    for (const auto& [name, value] : kNamed) {
        if (code == name) {
            return value;
        }
    }
    if (code.size() == 6 && code.starts_with("Digit")) {
        return static_cast<int16_t>(code[5]);
    }
    if (code.size() == 4 && code.starts_with("Key")) {
        return static_cast<int16_t>(code[3]);
    }
    return 0;
}

PanelKey panelKeyOf(std::string_view key) {
    using Key = session::HallOfFamePanel::Key;
    static const std::pair<std::string_view, Key> kKeys[] = {
        {"Enter", Key::Enter},    {"Escape", Key::Esc},     {"Backspace", Key::Backspace},
        {"Delete", Key::Delete},  {"ArrowLeft", Key::Left}, {"ArrowRight", Key::Right},
        {"Home", Key::Home},      {"End", Key::End},        {"ArrowUp", Key::Up},
        {"ArrowDown", Key::Down},
    };
    const auto named = std::find_if(std::begin(kKeys), std::end(kKeys),
                                    [&](const auto& k) { return k.first == key; });
    if (named != std::end(kKeys)) {
        return {named->second, {}};
    }
    if (key == "Tab") {
        return {std::nullopt, "\t"}; // the panel's next view: the world's table, today's road
    }
    // One character: "a", "ë", " "; a longer name ("Shift") types nothing.
    return {std::nullopt, key.size() <= 4 ? key : std::string_view()};
}

} // namespace kestrada::web
