// SPDX-License-Identifier: GPL-3.0-or-later
// The main window's controls drawn on the page's canvas, back to front, as
// the desktop window paints them.
#pragma once

#include "app/form.h"

#include <string>

namespace kestrada::web {

// title: the page's, which follows the state of a replay.
void drawFrame(const Form& form, const std::string& title);
// Asks for every picture at once, so none is missing on the frame that
// first shows it.
void preloadPictures();

} // namespace kestrada::web
