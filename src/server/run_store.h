// SPDX-License-Identifier: GPL-3.0-or-later
// The shared hall of fame as kept in the database: every run sent (its
// file, its claim, its state in the verification queue) and, beside it,
// each board's best run per name, kept up to date as runs are verified.
#pragma once

#include "server/database.h"

#include <climits>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace kestrada::server {

inline constexpr const char* kAllBoard = "all";
// The board of one day's road: "road:YYYY-MM-DD".
std::string roadBoard(const std::string& day);

struct Submission {
    // Of the run file: the same file with the same claim is the same run.
    // Only the claim the file replays to can be verified, so one file
    // never holds two places.
    std::string sha256;
    std::string name;
    std::string nameKey;
    int64_t claimed = 0;
    uint32_t seed = 0;
    std::string recording;
    int64_t nowMs = 0;
    std::string roadDay; // the road it was sent for, or empty: the day it came
};

// Whom the caps on keeping a run count, and the caps.
struct SenderCaps {
    std::string client;
    int64_t queuedPerClient = INT64_MAX;
    int64_t queuedInAll = INT64_MAX;
    int64_t perClientPerDay = INT64_MAX; // runs kept from one client in one UTC day
};

struct Submitted {
    enum class Refused { No, OtherClaim, ClientQueueFull, QueueFull, ClientDayFull };
    int64_t id = 0;       // the run made, or the earlier run of the same file
    bool created = false; // false: the same file was sent before (or refused)
    // OtherClaim: the same file was kept before under another claim; it is
    // stored and replayed once, and answered from that run.
    Refused refused = Refused::No;
};

struct RunRecord {
    int64_t id = 0;
    std::string name;
    std::string status; // "queued", "verified" or "rejected"
    int64_t claimed = 0;
    std::optional<int64_t> score; // the replayed score, once verified
    std::string reason;
    std::optional<int64_t> rank; // on the board of all runs, when it is its name's best
    int64_t submittedMs = 0;
    bool removed = false;
};

struct BoardRow {
    int64_t rank = 0;
    std::string name;
    int64_t score = 0;
    int64_t submittedMs = 0;
    int64_t run = 0;
};

struct Job {
    int64_t id = 0;
    std::string recording;
    int64_t claimed = 0;
};

// How a verifier's replay of a job ended.
struct Outcome {
    bool verified = false;
    std::optional<int64_t> score; // what it replayed to, when it did
    std::string reason;
    unsigned games = 0;
    uint32_t seed = 0;
};

struct Health {
    int64_t queued = 0;
    int64_t verified = 0;
    std::optional<int64_t> oldestQueuedMs; // when the oldest queued run was sent
};

class RunStore {
  public:
    explicit RunStore(ConnectionPool& pool) : pool_(pool) {}

    // Makes or upgrades the schema; safe with several servers starting
    // together.
    static void migrate(Connection& connection);

    // Records the run and queues it in one statement, unless its file is
    // kept already or a queue cap is reached.
    Submitted submit(const Submission& submission, const SenderCaps& caps = {});
    std::optional<RunRecord> run(int64_t id);
    std::optional<std::string> recording(int64_t id);

    std::vector<BoardRow> board(const std::string& board, int64_t limit, int64_t offset);
    // The name's row on the board with four either side; empty when the
    // name has none.
    std::vector<BoardRow> around(const std::string& board, const std::string& nameKey);

    // The day's road seed: the one already chosen, or `proposed`, kept.
    uint32_t road(const std::string& day, uint32_t proposed);
    // The day's road seed, if one was chosen.
    std::optional<uint32_t> roadSeed(const std::string& day);

    // Takes the oldest queued run whose lease has expired, for `leaseMs`.
    std::optional<Job> claim(const std::string& owner, int64_t nowMs, int64_t leaseMs);
    // Ends the job; false when the lease was lost meanwhile and another
    // verifier owns the run (nothing is written then).
    bool finish(int64_t id, const std::string& owner, const Outcome& outcome);
    // A rejected run taken under a later claim of its replayed score, by the
    // name that sent it first: onto the boards as if verified under it.
    // False when the run was not rejected with that score under that name.
    bool takeClaim(int64_t id, const std::string& name, const std::string& nameKey,
                   int64_t claimed);
    // Notes that the verifier died on the run; the third time rejects it.
    bool crashed(int64_t id, const std::string& owner);

    // Takes the run off every board; false when there is no such run.
    bool remove(int64_t id);
    Health health();
    // The database's own clock, in milliseconds since 1970.
    int64_t databaseNowMs();

  private:
    // From an older schema's version to this one's, in the migration's transaction.
    static void upgrade(Connection& db, int64_t version);
    void enterBoard(Connection& db, const std::string& board, int64_t id);
    void recomputeBest(Connection& db, const std::string& board, const std::string& nameKey);

    ConnectionPool& pool_;
};

} // namespace kestrada::server
