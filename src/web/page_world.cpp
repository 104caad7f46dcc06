// SPDX-License-Identifier: GPL-3.0-or-later
#include "web/page_world.h"

#include "world/server_reply.h"

#include <string>

namespace kestrada::web {

namespace {
// A request unanswered this long counts as no answer.
constexpr int kTimeoutMs = 10000;
} // namespace

session::WorldReply worldReplyOf(int status, double retryAfter, std::string_view body) {
    session::WorldReply reply = session::serverReply(status, body);
    if (retryAfter >= 0) {
        reply.retryAfterSeconds = retryAfter;
    }
    return reply;
}

void PageWorld::pump(session::HallOfFameWorld& world, double nowMs) {
    while (const auto request = world.next(nowMs)) {
        const int token = nextToken_++;
        out_[token] = {*request, &world};
        page_world_send(token, request->method.c_str(), world.url(*request).c_str(),
                        request->body.c_str(), kTimeoutMs);
    }
}

bool PageWorld::answered(session::HallOfFameWorld& world, int token,
                         const session::WorldReply& reply, double nowMs) {
    const auto found = out_.find(token);
    if (found == out_.end()) {
        return false;
    }
    const auto [request, asker] = found->second;
    out_.erase(found);
    if (asker != &world) {
        return false;
    }
    world.answered(request, reply, nowMs);
    return true;
}

} // namespace kestrada::web
