// SPDX-License-Identifier: GPL-3.0-or-later
// The page's own text input over the hall of fame's name field on a touch
// screen, where the phone's keyboard types: its whole text, and Enter.
#pragma once

#include "play/play.h"

#include <string_view>

namespace kestrada::web {

// Puts the input's whole text in the name field while it has the keys; the
// panel's rules clean and cut it as they do a typed name.
void setWholeName(session::Play& play, std::string_view name);
// The keyboard's Enter or Done: the name is kept, as Enter keeps it.
void confirmName(session::Play& play);

} // namespace kestrada::web
