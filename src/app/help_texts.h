// SPDX-License-Identifier: GPL-3.0-or-later
// The words of the help window and the About box.
#pragma once

#include <string>

namespace kestrada {

inline constexpr const char* kHelpCaption = " How to Play Kestrada...";
inline constexpr const char* kAboutTitle = "About Kestrada...";

// The instructions: story, scoring, the keys and the game controller, one
// paragraph each.
std::string helpInstructions();

// The credits shown by the About box: the game's history in six lines.
std::string aboutText();

} // namespace kestrada
