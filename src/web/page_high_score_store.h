// SPDX-License-Identifier: GPL-3.0-or-later
// The player's best in the browser's storage: the high-score file on the
// folder the page mounts there, written through to the storage whenever the
// store changes it, so a reload or a closed tab loses nothing.
#pragma once

#include "app/high_score_store.h"

namespace kestrada::web {

// The one store of the page's own games. A replay plays from the best its
// recording names, in memory, and never writes through.
HighScoreStore& playerHighScoreStore();

} // namespace kestrada::web
