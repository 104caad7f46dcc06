// SPDX-License-Identifier: GPL-3.0-or-later
// Today's leader, fetched to race on today's road: the top row of the
// road's table, then that row's run, downloaded as a world row's run is.
// Whatever does not come (an empty table, a refusal, no answer, a row
// without a run) leaves nothing to race, and the road is played alone.
#pragma once

#include "world/world_request.h"

#include <optional>
#include <string>

namespace kestrada::session {

// The leader's run as the server gave it, and whose it is.
struct LeaderRun {
    std::string name;
    std::string text;
};

class RoadLeader {
  public:
    // Asks afresh for the leader of the road of this day (YYYY-MM-DD); what
    // is still out answers an earlier asking and is dropped.
    void ask(const std::string& day);
    std::optional<WorldRequest> next();
    void answered(const WorldRequest& request, const WorldReply& reply);
    // Asked, and neither found nor given up yet.
    bool waiting() const { return step_ != Step::Idle; }
    // The leader's run once found; once.
    std::optional<LeaderRun> take();

  private:
    enum class Step { Idle, Board, Run };
    Step step_ = Step::Idle;
    bool out_ = false;
    unsigned asked_ = 0;
    std::string day_;
    std::string name_;
    std::string runId_;
    std::optional<LeaderRun> found_;
};

} // namespace kestrada::session
