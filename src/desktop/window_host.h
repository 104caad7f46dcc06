// SPDX-License-Identifier: GPL-3.0-or-later
// The game's Host in the window: the clock, the modal help and message
// windows, and the request to end the program.
#pragma once

#include "app/host.h"

#include <functional>

class QWidget;

namespace kestrada::desktop {

class WindowHost : public Host {
  public:
    // beforeModal brings the window up to date with the model before a modal
    // window opens: the handler that opens it has not returned yet, and a
    // game it paused must not keep ticking behind the modal window.
    WindowHost(QWidget& window, std::function<void()> beforeModal);

    uint32_t millisecondsSinceMidnight() override;
    void showHelp() override;
    void showMessage(const std::string& title, const std::string& text) override;
    void endProgram() override { endRequested_ = true; }

    bool endRequested() const { return endRequested_; }

  private:
    QWidget& window_;
    std::function<void()> beforeModal_;
    bool endRequested_ = false;
};

} // namespace kestrada::desktop
