// SPDX-License-Identifier: GPL-3.0-or-later
#include "world/world_outbox.h"

#include "session/run_verification.h"
#include "shared_rules/names.h"
#include "shared_rules/run_limits.h"
#include "storage/hall_of_fame_file.h"
#include "storage/replace_file.h"

#include <algorithm>
#include <charconv>
#include <fstream>
#include <iterator>
#include <limits>
#include <utility>

namespace kestrada::session {

namespace {
constexpr double kFirstResendMs = 2000;
constexpr double kLongestResendMs = 5 * 60 * 1000;
constexpr double kFirstCheckMs = 1000;
constexpr double kLongestCheckMs = 60 * 1000;
// A Retry-After past this is a server's mistake, not a plan.
constexpr double kLongestRetryAfterMs = 60 * 60 * 1000;

double doubling(double first, double longest, int times) {
    double wait = first;
    for (int i = 1; i < times && wait < longest; ++i) {
        wait *= 2;
    }
    return std::min(wait, longest);
}

// Overloaded, down, cut or silent, or an address where no such server
// is: the same file goes again later.
bool noAnswerFor(int status) {
    return status == 0 || status == 404 || status == 405 || status == 408 || status == 429 ||
           status >= 500;
}

bool readFile(const std::filesystem::path& path, std::string& text) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        return false;
    }
    text.assign(static_cast<std::size_t>(kMaxRunBytes) + 1, '\0');
    in.read(text.data(), static_cast<std::streamsize>(text.size()));
    text.resize(static_cast<std::size_t>(in.gcount()));
    return true;
}

// A run's file name never leaves its folder.
bool plainFileName(const std::string& run) {
    return !run.empty() && run.find('/') == std::string::npos && run != "." && run != "..";
}

// Reads the entry's run into `body`, from the outbox's copy or else from
// runs/; what the server would certainly refuse is known here, without
// asking it. Empty when it may go.
std::string refusalBeforeSending(const std::filesystem::path& copy,
                                 const std::filesystem::path& folder, const WorldRecord& r,
                                 std::string& body) {
    const auto kept = runPath(folder, r.run);
    if (!readFile(copy, body) && (!kept || !readFile(*kept, body))) {
        return "its run is no longer kept here";
    }
    if (body.size() > shared_rules::kMaxRunFileBytes) {
        return std::string("run file over ") + shared_rules::kMaxRunFileText;
    }
    if (const auto problem = shared_rules::checkName(r.name).problem;
        problem != shared_rules::NameProblem::None) {
        return "name: " + shared_rules::nameProblemText(problem);
    }
    return {};
}

int rankOf(const WorldFields& fields) {
    const std::string text = fieldOf(fields, "rank");
    int rank = 0;
    std::from_chars(text.data(), text.data() + text.size(), rank);
    return rank;
}

std::string digits(std::string text) {
    std::erase_if(text, [](char c) { return c < '0' || c > '9'; });
    text.erase(0, std::min(text.find_first_not_of('0'), text.size() - 1));
    return text;
}

// The server already held this file under someone else's name or claim:
// what it says instead of taking ours, or nothing when it is ours.
std::string notOurs(const WorldRecord& r, const WorldFields& fields) {
    const std::string name = fieldOf(fields, "name");
    if (!name.empty() && !sameName(name, r.name)) {
        return "already on the table as " + cleanName(name) + "'s";
    }
    const std::string claimed = fieldOf(fields, "claimed");
    if (!claimed.empty() && digits(claimed) != digits(r.score)) {
        return "already on the table with a score of " + claimed;
    }
    return {};
}
} // namespace

double resendWaitMs(int failures) {
    return doubling(kFirstResendMs, kLongestResendMs, failures);
}

double checkWaitMs(int checks) {
    return doubling(kFirstCheckMs, kLongestCheckMs, checks);
}

WorldOutbox::WorldOutbox(std::filesystem::path folder, std::string server,
                         const std::string& naming)
    : folder_(std::move(folder)), server_(std::move(server)), worldName_(readWorldName(folder_)),
      lock_(folder_) {
    if (!server_.empty()) {
        lock_.take();
        takeUp(naming);
    }
}

void WorldOutbox::takeUp(const std::string& naming) {
    std::vector<WorldRecord> added;
    updateWorldRecords(folder_, [&](std::vector<WorldRecord>& records) {
        for (WorldRecord& r : records) {
            if (r.server.empty()) {
                r.server = server_; // kept before records named their server
            }
        }
        HallOfFameFile table;
        std::string failure;
        readHallOfFame(folder_, table, failure);
        for (const HallOfFameLine& line : table.lines) {
            const bool known = std::any_of(records.begin(), records.end(), [&](const auto& r) {
                return r.run == line.run && r.server == server_;
            });
            if (!known && line.run != naming) {
                WorldRecord r;
                r.run = line.run;
                r.name = worldName_.empty() ? line.name : worldName_;
                r.score = line.score;
                r.server = server_;
                records.push_back(r);
                added.push_back(r);
            }
        }
        std::copy_if(records.begin(), records.end(), std::back_inserter(records_),
                     [&](const auto& r) { return r.server == server_; });
    });
    std::error_code ignored;
    std::filesystem::create_directories(folder_ / kOutboxFolderName, ignored);
    for (const WorldRecord& r : added) {
        if (const auto kept = runPath(folder_, r.run)) {
            std::filesystem::copy_file(*kept, copyOf(r.run),
                                       std::filesystem::copy_options::skip_existing, ignored);
        }
    }
}

void WorldOutbox::lookAgain(double nowMs) {
    if (nowMs < lookAt_) {
        return;
    }
    lookAt_ = nowMs + kLookAgainMs;
    const bool sent = lock_.held();
    if (!lock_.take()) {
        return;
    }
    if (!sent) {
        records_.clear(); // the sender before kept them: its word is the last
    }
    // What the folder's other windows added meanwhile.
    for (const WorldRecord& r : readWorldRecords(folder_)) {
        if (r.server == server_ && record(r.run) == nullptr) {
            records_.push_back(r);
        }
    }
}

std::filesystem::path WorldOutbox::copyOf(const std::string& run) const {
    return folder_ / kOutboxFolderName / (plainFileName(run) ? run : std::string("-"));
}

WorldRecord* WorldOutbox::record(std::string_view run) {
    const auto found = std::find_if(records_.begin(), records_.end(), [&](const auto& r) {
        return r.run == run && r.server == server_;
    });
    return found == records_.end() ? nullptr : &*found;
}

const WorldRecord* WorldOutbox::find(std::string_view run) const {
    return const_cast<WorldOutbox*>(this)->record(run);
}

void WorldOutbox::save(const WorldRecord& changed) {
    // A folder that cannot be written keeps the state in memory: the run is
    // still sent, and sent again at the next start.
    updateWorldRecords(folder_, [&](std::vector<WorldRecord>& records) {
        const auto at = std::find_if(records.begin(), records.end(), [&](const auto& r) {
            return r.run == changed.run && r.server == changed.server;
        });
        if (at == records.end()) {
            records.push_back(changed);
        } else {
            *at = changed;
        }
        // The server's last word on a run the table no longer shows is
        // wanted by no one.
        HallOfFameFile table;
        std::string failure;
        readHallOfFame(folder_, table, failure);
        // A run refused for its name may go again under another.
        std::erase_if(records, [&](const WorldRecord& r) {
            return isFinal(r.state) && !refusedForName(r) &&
                   std::none_of(table.lines.begin(), table.lines.end(),
                                [&](const auto& line) { return line.run == r.run; });
        });
    });
    if (isFinal(changed.state) && !refusedForName(changed)) {
        std::error_code ignored;
        std::filesystem::remove(copyOf(changed.run), ignored);
    }
}

void WorldOutbox::tryNow() {
    blockedUntil_ = 0;
    failures_ = 0;
}

void WorldOutbox::giveWorldName(const std::string& name) {
    worldName_ = name;
    writeWorldName(folder_, name);
    for (WorldRecord& r : records_) {
        const bool refused = refusedForName(r);
        // What the server has not had yet goes under the new name too.
        if (!refused && r.state != WorldState::Unsent && r.state != WorldState::Resend) {
            continue;
        }
        r.name = name;
        if (refused) {
            r.state = WorldState::Unsent;
            r.reason.clear();
            r.attempts = 0;
            due_.erase(r.run);
        }
        save(r);
    }
}

const WorldRecord* WorldOutbox::refusedName() const {
    const auto found = std::find_if(records_.rbegin(), records_.rend(), refusedForName);
    return found == records_.rend() ? nullptr : &*found;
}

void WorldOutbox::add(const HallOfFameLine& line, const std::string& road,
                      const std::optional<std::string>& recording) {
    if (server_.empty() || record(line.run) != nullptr) {
        return;
    }
    WorldRecord r;
    r.run = line.run;
    r.name = worldName_.empty() ? line.name : worldName_;
    r.score = line.score;
    r.road = road;
    r.server = server_;
    // The copy first: a record on disk always finds its run.
    std::error_code ignored;
    std::filesystem::create_directories(folder_ / kOutboxFolderName, ignored);
    const auto kept = runPath(folder_, line.run);
    if (recording) {
        int error = 0;
        replaceWhole(copyOf(r.run), *recording, error);
    } else if (kept) {
        std::filesystem::copy_file(*kept, copyOf(r.run),
                                   std::filesystem::copy_options::overwrite_existing, ignored);
    }
    records_.push_back(r);
    save(r);
}

std::optional<WorldRequest> WorldOutbox::next(double nowMs) {
    if (server_.empty() || out_) {
        return std::nullopt;
    }
    lookAgain(nowMs);
    if (!lock_.held() || nowMs < blockedUntil_) {
        return std::nullopt;
    }
    WorldRecord* soonest = nullptr;
    double soonestDue = std::numeric_limits<double>::infinity();
    for (WorldRecord& r : records_) {
        const bool open = r.state == WorldState::Unsent || r.state == WorldState::Resend ||
                          r.state == WorldState::Waiting;
        const double due = due_.contains(r.run) ? due_[r.run] : 0;
        if (open && due <= nowMs && due < soonestDue) {
            soonest = &r;
            soonestDue = due;
        }
    }
    if (soonest == nullptr) {
        return bestAsk();
    }
    WorldRequest request;
    request.run = soonest->run;
    if (soonest->state == WorldState::Waiting && !soonest->id.empty()) {
        request.purpose = WorldRequest::Purpose::Check;
        request.target = "/api/runs/" + percentEncoded(soonest->id);
    } else if (const std::string refusal =
                   refusalBeforeSending(copyOf(soonest->run), folder_, *soonest, request.body);
               refusal.empty()) {
        request.purpose = WorldRequest::Purpose::Submit;
        request.method = "POST";
        request.target = "/api/runs?name=" + percentEncoded(soonest->name) +
                         "&score=" + percentEncoded(soonest->score) +
                         (soonest->road.empty() ? "" : "&road=" + percentEncoded(soonest->road));
    } else {
        soonest->state = WorldState::Rejected;
        soonest->reason = refusal;
        save(*soonest);
        return next(nowMs);
    }
    out_ = request;
    return request;
}

void WorldOutbox::answered(const WorldReply& reply, double nowMs) {
    const std::optional<WorldRequest> request = std::exchange(out_, std::nullopt);
    WorldRecord* r = request ? record(request->run) : nullptr;
    if (r == nullptr) {
        return;
    }
    unreachable_ = reply.status == 0;
    if (request->purpose == WorldRequest::Purpose::Best) {
        bestFound(*r, reply);
    } else if (request->purpose == WorldRequest::Purpose::Check && reply.status == 404) {
        failures_ = 0; // the server forgot it: the same file goes again
        r->state = WorldState::Unsent;
        due_.erase(r->run);
    } else if (noAnswerFor(reply.status)) {
        noAnswer(*r, reply, nowMs);
    } else if (reply.status >= 200 && reply.status < 300) {
        failures_ = 0;
        tookIt(*r, reply, nowMs);
    } else {
        failures_ = 0;
        r->state = WorldState::Rejected;
        r->reason = refusalOf(reply);
    }
    save(*r);
}

std::optional<WorldRequest> WorldOutbox::bestAsk() {
    for (const WorldRecord& r : records_) {
        if (r.state == WorldState::Verified && r.rank == 0 && r.bestRank == 0 &&
            bestAsked_.insert(r.run).second) {
            WorldRequest request;
            request.purpose = WorldRequest::Purpose::Best;
            request.run = r.run;
            request.target =
                (r.road.empty() ? std::string("/api/boards/all?")
                                : "/api/boards/road?date=" + percentEncoded(r.road) + "&") +
                "around=" + percentEncoded(r.name);
            out_ = request;
            return request;
        }
    }
    return std::nullopt;
}

void WorldOutbox::bestFound(WorldRecord& r, const WorldReply& reply) {
    for (const WorldFields& row : reply.entries) {
        if (sameName(fieldOf(row, "name"), r.name)) {
            r.bestRank = rankOf(row);
        }
    }
}

void WorldOutbox::tookIt(WorldRecord& r, const WorldReply& reply, double nowMs) {
    if (const std::string id = fieldOf(reply.fields, "id"); !id.empty()) {
        r.id = id;
    }
    const std::string status = fieldOf(reply.fields, "status");
    if (const std::string other = notOurs(r, reply.fields); !other.empty()) {
        r.state = WorldState::Others;
        r.reason = other;
    } else if (status == "verified") {
        r.state = WorldState::Verified;
        r.rank = rankOf(reply.fields);
    } else if (status == "rejected") {
        r.state = WorldState::Rejected;
        r.reason = refusalOf(reply);
    } else {
        r.state = WorldState::Waiting;
        due_[r.run] = nowMs + checkWaitMs(++checks_[r.run]);
    }
}

void WorldOutbox::noAnswer(WorldRecord& r, const WorldReply& reply, double nowMs) {
    ++failures_;
    double wait = resendWaitMs(failures_);
    if (reply.retryAfterSeconds) {
        wait = std::max(wait, std::min(*reply.retryAfterSeconds * 1000, kLongestRetryAfterMs));
    }
    blockedUntil_ = nowMs + wait;
    if (r.state != WorldState::Waiting) {
        r.state = WorldState::Resend;
        ++r.attempts;
    }
}

} // namespace kestrada::session
