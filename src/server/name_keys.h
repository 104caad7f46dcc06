// SPDX-License-Identifier: GPL-3.0-or-later
// A database whose runs were keyed by an older fold of their names: each
// run's key made again as names are checked now, and every board's best
// per name chosen again, since two names an older fold kept apart may now
// be one.
#pragma once

#include "server/database.h"

namespace kestrada::server {

// Inside the caller's transaction.
void refoldNameKeys(Connection& db);

} // namespace kestrada::server
