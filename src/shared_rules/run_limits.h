// SPDX-License-Identifier: GPL-3.0-or-later
// The largest run file the game sends and the server takes. A busy game
// writes about 3 kB of keys a minute, so a session of five hours and more
// fits; the server holds each body in memory while it reads it, and a
// length of play past the replay's own bound is refused anyway.
#pragma once

#include <cstddef>

namespace kestrada::shared_rules {

inline constexpr std::size_t kMaxRunFileBytes = std::size_t{1} << 20;
// The same, as a player reads it.
inline constexpr const char* kMaxRunFileText = "1 MiB";

} // namespace kestrada::shared_rules
