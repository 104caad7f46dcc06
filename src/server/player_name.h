// SPDX-License-Identifier: GPL-3.0-or-later
// A name sent with a run, as the shared boards show it: letters, digits,
// single spaces and a little punctuation from an allow-list, so no control,
// bidi-override or zero-width character reaches another player's screen.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace kestrada::server {

inline constexpr std::size_t kMaxNameCharacters = 12;

struct PlayerName {
    std::string shown; // trimmed, inner spaces single
    std::string key;   // one best per key: case and look-alike letters folded
};

// Nothing when the name is not UTF-8, holds a character off the list, or
// is empty or longer than twelve characters once trimmed.
std::optional<PlayerName> cleanPlayerName(std::string_view raw);

} // namespace kestrada::server
