// SPDX-License-Identifier: GPL-3.0-or-later
// The page's line to the world's server: the hall of fame's requests handed
// to fetch (world_library.js), one token each, and the replies handed back
// when they come; nothing here waits for one. The page looks for a
// kestrada-server on its own origin; served elsewhere it has no world table.
#pragma once

#include "world/hall_of_fame_world.h"

#include <map>
#include <string_view>
#include <utility>

extern "C" {
// Asks the page's own origin for /api/health; kestrada_world_server is
// called when a kestrada-server answers, kestrada_world_online when the
// browser is back on the network.
void page_world_look();
void page_world_send(int token, const char* method, const char* url, const char* body,
                     int timeoutMs);
}

namespace kestrada::web {

// The server's raw answer; retryAfter below 0 for none.
session::WorldReply worldReplyOf(int status, double retryAfter, std::string_view body);

class PageWorld {
  public:
    // Sends whatever the world has due now.
    void pump(session::HallOfFameWorld& world, double nowMs);
    // A reply from fetch; false when its request is unknown.
    bool answered(session::HallOfFameWorld& world, int token, const session::WorldReply& reply,
                  double nowMs);

  private:
    // Each request with the world that asked: a reply to one gone (a new
    // session) is dropped.
    std::map<int, std::pair<session::WorldRequest, const session::HallOfFameWorld*>> out_;
    int nextToken_ = 1;
};

} // namespace kestrada::web
