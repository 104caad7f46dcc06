// SPDX-License-Identifier: GPL-3.0-or-later
// A name sent with a run, as the shared boards show it: a name in any
// living script, checked by the shared rules (no control, invisible or
// text-direction character, twelve characters at most) and by ICU's spoof
// checker (no letters of several scripts that could pass for another
// name), with the key that makes one best per name.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace kestrada::server {

struct PlayerName {
    std::string shown; // trimmed, every space plain and single
    // One best per key: case folded (NFKC), look-alikes read as one (the
    // UTS #39 skeleton), spaces dropped.
    std::string key;
};

struct NameVerdict {
    std::optional<PlayerName> name;
    std::string reason; // in plain words, when refused
};

NameVerdict checkPlayerName(std::string_view raw);

} // namespace kestrada::server
