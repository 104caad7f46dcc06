// SPDX-License-Identifier: GPL-3.0-or-later
#include "world/road_leader.h"

#include <utility>

namespace kestrada::session {

void RoadLeader::ask(const std::string& day) {
    day_ = day;
    ++asked_;
    step_ = Step::Board;
    out_ = false;
    found_.reset();
}

std::optional<WorldRequest> RoadLeader::next() {
    if (out_ || step_ == Step::Idle) {
        return std::nullopt;
    }
    out_ = true;
    WorldRequest request;
    request.purpose = WorldRequest::Purpose::Leader;
    request.token = asked_;
    request.target = step_ == Step::Board
                         ? "/api/boards/road?date=" + percentEncoded(day_) + "&limit=1"
                         : "/api/runs/" + percentEncoded(runId_) + "/recording";
    return request;
}

void RoadLeader::answered(const WorldRequest& request, const WorldReply& reply) {
    if (request.token != asked_ || step_ == Step::Idle) {
        return;
    }
    out_ = false;
    const bool ok = reply.status >= 200 && reply.status < 300;
    if (ok && step_ == Step::Board && !reply.entries.empty() &&
        !fieldOf(reply.entries.front(), "run").empty()) {
        name_ = fieldOf(reply.entries.front(), "name");
        runId_ = fieldOf(reply.entries.front(), "run");
        step_ = Step::Run;
        return;
    }
    if (ok && step_ == Step::Run && !reply.text.empty()) {
        found_ = LeaderRun{name_, reply.text};
    }
    step_ = Step::Idle;
}

std::optional<LeaderRun> RoadLeader::take() {
    return std::exchange(found_, std::nullopt);
}

} // namespace kestrada::session
