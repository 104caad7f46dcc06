// SPDX-License-Identifier: GPL-3.0-or-later
// The game's Host in the window: the clock, the help and message windows
// (application-modal, opened without a nested event loop), and the request
// to end the program. A game being replayed opens no window: none waits for
// a viewer's OK while the replay stands still, and the pause that came with
// it still happens, as recorded.
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
    void endProgram() override { endRequested_ = true; }

    bool endRequested() const { return endRequested_; }
    // From now on the game is a replay.
    void setReplaying() { replaying_ = true; }

  private:
    QWidget& window_;
    bool endRequested_ = false;
    bool replaying_ = false;
};

} // namespace kestrada::desktop
