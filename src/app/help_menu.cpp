// SPDX-License-Identifier: GPL-3.0-or-later
// The help window and the About box pause a running game first and leave it
// paused: the player resumes when ready.
#include "app/form.h"
#include "app/help_texts.h"
#include "app/host.h"

namespace kestrada {

void Form::mnuHowToPlay_Click() {
    if (!lblPaused().Visible) {
        mnuPause_Click();
    }
    host->showHelp();
}

void Form::mnuAbout_Click() {
    if (!lblPaused().Visible) {
        mnuPause_Click();
    }
    host->showMessage(kAboutTitle, aboutText());
}

} // namespace kestrada
