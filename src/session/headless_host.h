// SPDX-License-Identifier: GPL-3.0-or-later
// The program around the game when there is no window: the help window and
// the About box close as soon as they open, and Exit only marks the run as
// over so the runner can stop after the current handler.
#pragma once

#include "app/host.h"

namespace kestrada::session {

class HeadlessHost : public Host {
  public:
    uint32_t millisecondsSinceMidnight() override;
    void showHelp() override {}
    void showMessage(const std::string&, const std::string&) override {}
    void endProgram() override { exited_ = true; }

    bool exited() const { return exited_; }

  private:
    bool exited_ = false;
};

} // namespace kestrada::session
