// SPDX-License-Identifier: GPL-3.0-or-later
// The runs waiting for the world's server, and when to send each: the game
// is the outbox. A run is sent once its entry's name is confirmed, and
// again after a restart, a lost connection, a 503 or a 429, with growing
// waits (at least what Retry-After asks) until the server answers for it;
// sending the same file twice is harmless, the server knows it. A run the
// server took but has not checked yet is asked about until it has.
#pragma once

#include "halloffame/hall_of_fame.h"
#include "world/world_records.h"
#include "world/world_request.h"

#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kestrada::session {

// The wait before the next try after `failures` tries in a row got no
// answer, and before the next question about a queued run.
double resendWaitMs(int failures);
double checkWaitMs(int checks);

class WorldOutbox {
  public:
    // Takes up the states kept in the folder: what was not done is done now.
    explicit WorldOutbox(std::filesystem::path folder);

    // An entry whose name is confirmed goes out, once; one of today's road
    // names its day, which the server checks against the run's seed.
    void add(const HallOfFameLine& line, const std::string& road = {});
    // The request due now, when none is out; never waits.
    std::optional<WorldRequest> next(double nowMs);
    // The reply to the request next() gave last.
    void answered(const WorldReply& reply, double nowMs);

    // The network is back (the browser says so): what waits goes now.
    void tryNow();

    const WorldRecord* find(std::string_view run) const;
    // The last try found no server answering; nothing known yet counts as
    // reachable.
    bool unreachable() const { return unreachable_; }

  private:
    WorldRecord* record(std::string_view run);
    void save(const WorldRecord& changed);
    void tookIt(WorldRecord& r, const WorldReply& reply, double nowMs);
    void noAnswer(WorldRecord& r, const WorldReply& reply, double nowMs);

    std::filesystem::path folder_;
    std::vector<WorldRecord> records_;
    std::map<std::string, double> due_; // by run; absent: due at once
    std::map<std::string, int> checks_; // questions asked about a queued run
    std::optional<WorldRequest> out_;
    int failures_ = 0; // tries in a row that got no answer
    double blockedUntil_ = 0;
    bool unreachable_ = false;
};

} // namespace kestrada::session
