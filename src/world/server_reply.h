// SPDX-License-Identifier: GPL-3.0-or-later
// The one reader of what kestrada-server answers. The window and the page
// hand over the raw body and its status; the JSON object's scalars become
// text fields and its "entries" list a row of fields each. A body that is
// not a JSON object (a recording, a proxy's page) stays text.
#pragma once

#include "world/world_request.h"

#include <string_view>

namespace kestrada::session {

WorldReply serverReply(int status, std::string_view body);

} // namespace kestrada::session
