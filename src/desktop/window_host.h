// SPDX-License-Identifier: GPL-3.0-or-later
// The game's Host in the window: the clock, the help and message windows
// (application-modal, opened without a nested event loop), and the request
// to end the program, which the session's Exited event says instead.
#pragma once

#include "app/host.h"

class QWidget;

namespace kestrada::desktop {

class WindowHost : public Host {
  public:
    explicit WindowHost(QWidget& window);

    uint32_t millisecondsSinceMidnight() override;
    void showHelp() override;
    void showMessage(const std::string& title, const std::string& text) override;
    void endProgram() override {}

  private:
    QWidget& window_;
};

} // namespace kestrada::desktop
