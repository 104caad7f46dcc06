// SPDX-License-Identifier: GPL-3.0-or-later
// The runs waiting for the world's server, and when to send each: the game
// is the outbox. A run is sent once its entry's name is confirmed, and
// again after a restart, a lost connection, a 503 or a 429, with growing
// waits (at least what Retry-After asks) until the server answers for it;
// sending the same file twice is harmless, the server knows it. A run the
// server took but has not checked yet is asked about until it has.
// Every entry of the local table goes to every server it is given to, once:
// what a kill left without a record gets one at the next start. An open
// record's run is copied beside the state, so that pruning the table never
// takes a run before the server has had it.
#pragma once

#include "halloffame/hall_of_fame.h"
#include "world/sender_lock.h"
#include "world/world_name.h"
#include "world/world_records.h"
#include "world/world_request.h"

#include <filesystem>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

namespace kestrada::session {

// The wait before the next try after `failures` tries in a row got no
// answer, and before the next question about a queued run.
double resendWaitMs(int failures);
double checkWaitMs(int checks);

inline constexpr const char* kOutboxFolderName = "outbox";
// How often a window that does not send looks whether it may, and the
// sender for entries the other windows of the folder left.
inline constexpr double kLookAgainMs = 5000;

class WorldOutbox {
  public:
    // Takes up the states kept in the folder for this server: what was not
    // done is done now, and every entry of the table without a record gets
    // one, but `naming`, the run whose name the panel still asks for.
    WorldOutbox(std::filesystem::path folder, std::string server, const std::string& naming = {});

    // An entry whose name is confirmed goes out, once; one of today's road
    // names its day, which the server checks against the run's seed, and
    // brings its recording, kept nowhere else.
    void add(const HallOfFameLine& line, const std::string& road = {},
             const std::optional<std::string>& recording = std::nullopt);
    // The request due now, when none is out; never waits.
    std::optional<WorldRequest> next(double nowMs);
    // The reply to the request next() gave last.
    void answered(const WorldReply& reply, double nowMs);

    // The network is back (the browser says so): what waits goes now.
    void tryNow();

    // The player's name for the world's table, after one was refused: kept,
    // and given to every entry sent from now on; the runs refused for their
    // name go again under it, at once.
    void giveWorldName(const std::string& name);
    const std::string& worldName() const { return worldName_; }
    // A run of this server refused for its name, if any: the latest.
    const WorldRecord* refusedName() const;

    // This server's record of a run.
    const WorldRecord* find(std::string_view run) const;
    // This window holds the folder's sender lock.
    bool sends() const { return lock_.held(); }
    // The last try found no server answering; nothing known yet counts as
    // reachable.
    bool unreachable() const { return unreachable_; }

  private:
    WorldRecord* record(std::string_view run);
    void takeUp(const std::string& naming);
    void lookAgain(double nowMs);
    std::optional<WorldRequest> bestAsk();
    void save(const WorldRecord& changed);
    std::filesystem::path copyOf(const std::string& run) const;
    void tookIt(WorldRecord& r, const WorldReply& reply, double nowMs);
    void noAnswer(WorldRecord& r, const WorldReply& reply, double nowMs);
    void bestFound(WorldRecord& r, const WorldReply& reply);

    std::filesystem::path folder_;
    std::string server_;
    std::string worldName_;
    SenderLock lock_;
    double lookAt_ = kLookAgainMs;
    std::set<std::string> bestAsked_; // runs whose name's best was asked for
    std::vector<WorldRecord> records_;
    std::map<std::string, double> due_; // by run; absent: due at once
    std::map<std::string, int> checks_; // questions asked about a queued run
    std::optional<WorldRequest> out_;
    int failures_ = 0; // tries in a row that got no answer
    double blockedUntil_ = 0;
    bool unreachable_ = false;
};

} // namespace kestrada::session
