// SPDX-License-Identifier: GPL-3.0-or-later
// The page's own text input over the hall of fame's name field, where a
// phone's keyboard, an input method and plain keys type: its whole text,
// Enter and Esc.
#pragma once

#include "play/play.h"

#include <string>
#include <string_view>

namespace kestrada::web {

// Puts the input's whole text in the name field while it has the keys; the
// panel's rules clean and cut it as they do a typed name.
void setWholeName(session::Play& play, std::string_view name);
// The name field's text as the panel keeps it.
std::string nameShown(const session::Play& play);
// The keyboard's Enter or Done: the name is kept, as Enter keeps it.
void confirmName(session::Play& play);
// Esc: the name given last time is kept, as Esc does in the game's field.
void cancelName(session::Play& play);

} // namespace kestrada::web
