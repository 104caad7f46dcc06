// SPDX-License-Identifier: GPL-3.0-or-later
#include "world/server_look.h"

#include "world/world_outbox.h"

namespace kestrada::session {

bool ServerLook::due(double nowMs) {
    if (nowMs < dueAt_) {
        return false;
    }
    dueAt_ = nowMs + resendWaitMs(++looks_);
    return true;
}

void ServerLook::online() {
    dueAt_ = 0;
    looks_ = 0;
}

} // namespace kestrada::session
