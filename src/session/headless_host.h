// SPDX-License-Identifier: GPL-3.0-or-later
// The program around the game when there is no window: the help window and
// the About box close as soon as they open, and Exit asks nothing of it (the
// game notes the end, and the runner stops after the current handler).
#pragma once

#include "app/host.h"

namespace kestrada::session {

class HeadlessHost : public Host {
  public:
    uint32_t millisecondsSinceMidnight() override;
    void showHelp() override {}
    void showMessage(const std::string&, const std::string&) override {}
    void endProgram() override {}
};

} // namespace kestrada::session
