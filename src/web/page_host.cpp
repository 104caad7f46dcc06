// SPDX-License-Identifier: GPL-3.0-or-later
#include "web/page_host.h"

#include "app/help_texts.h"
#include "web/page_library.h"

namespace kestrada::web {

uint32_t PageHost::millisecondsSinceMidnight() {
    return page_milliseconds_since_midnight();
}

void PageHost::showHelp() {
    page_show_dialog(kHelpCaption, helpInstructions().c_str());
}

void PageHost::showMessage(const std::string& title, const std::string& text) {
    page_show_dialog(title.c_str(), text.c_str());
}

} // namespace kestrada::web
