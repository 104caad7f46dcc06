// SPDX-License-Identifier: GPL-3.0-or-later
// The host of a game being replayed: the help window and the About box a
// recording asks for are not opened, so no window waits for a viewer's OK
// while the replay stands still. Their pause still happens, as recorded.
#pragma once

#include "app/host.h"

namespace kestrada::desktop {

class ReplayHost : public Host {
  public:
    explicit ReplayHost(Host& window) : window_(window) {}

    uint32_t millisecondsSinceMidnight() override { return window_.millisecondsSinceMidnight(); }
    void showHelp() override {}
    void showMessage(const std::string&, const std::string&) override {}
    void endProgram() override { window_.endProgram(); }

  private:
    Host& window_;
};

} // namespace kestrada::desktop
