// SPDX-License-Identifier: GPL-3.0-or-later
// The page's seams for the session: its host, and where it keeps its files.
#pragma once

#include "app/host.h"

#include <cstdint>
#include <string>

namespace kestrada::web {

// Where the page keeps its files: the high score and the hall of fame live
// in the browser's storage, mounted here.
inline constexpr const char* kDataDir = "/data";

// The help window and the About box are HTML dialogs: shown, and the
// handler returns at once; the page holds the game's input until closed.
// A page cannot close itself: the session's Exited event says it ended.
class PageHost : public Host {
  public:
    uint32_t millisecondsSinceMidnight() override;
    void showHelp() override;
    void showMessage(const std::string& title, const std::string& text) override;
    void endProgram() override {}
};

} // namespace kestrada::web
