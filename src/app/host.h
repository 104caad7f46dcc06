// SPDX-License-Identifier: GPL-3.0-or-later
// What the game needs from the program around it: the clock, the help and
// message windows, and the end of the program. The window and the headless runner each provide one.
#pragma once

#include <cstdint>
#include <string>

namespace kestrada {

class Host {
  public:
    virtual ~Host() = default;
    // Seeds the random generator when no seed was given on the command line.
    virtual uint32_t millisecondsSinceMidnight() = 0;
    // Shows the help window and returns at once: no handler waits on a
    // dialog. Until the player closes it, the front end keeps the main
    // window from taking input, as a modal window would.
    virtual void showHelp() = 0;
    // Shows a message box with an OK button, the same way.
    virtual void showMessage(const std::string& title, const std::string& text) = 0;
    // Exit: the program ends once the current handler returns.
    virtual void endProgram() = 0;
};

} // namespace kestrada
