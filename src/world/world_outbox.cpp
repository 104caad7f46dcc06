// SPDX-License-Identifier: GPL-3.0-or-later
#include "world/world_outbox.h"

#include "session/run_verification.h"
#include "storage/hall_of_fame_file.h"

#include <algorithm>
#include <charconv>
#include <fstream>
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

bool readRun(const std::filesystem::path& folder, const std::string& run, std::string& text) {
    const auto path = runPath(folder, run);
    std::ifstream in;
    if (path) {
        in.open(*path, std::ios::binary);
    }
    if (!in) {
        return false;
    }
    text.assign(static_cast<std::size_t>(kMaxRunBytes) + 1, '\0');
    in.read(text.data(), static_cast<std::streamsize>(text.size()));
    text.resize(static_cast<std::size_t>(in.gcount()));
    return true;
}

int rankOf(const WorldFields& fields) {
    const std::string text = fieldOf(fields, "rank");
    int rank = 0;
    std::from_chars(text.data(), text.data() + text.size(), rank);
    return rank;
}
} // namespace

double resendWaitMs(int failures) {
    return doubling(kFirstResendMs, kLongestResendMs, failures);
}

double checkWaitMs(int checks) {
    return doubling(kFirstCheckMs, kLongestCheckMs, checks);
}

WorldOutbox::WorldOutbox(std::filesystem::path folder)
    : folder_(std::move(folder)), records_(readWorldRecords(folder_)) {}

WorldRecord* WorldOutbox::record(std::string_view run) {
    const auto found =
        std::find_if(records_.begin(), records_.end(), [&](const auto& r) { return r.run == run; });
    return found == records_.end() ? nullptr : &*found;
}

const WorldRecord* WorldOutbox::find(std::string_view run) const {
    return const_cast<WorldOutbox*>(this)->record(run);
}

void WorldOutbox::save(const WorldRecord& changed) {
    // A folder that cannot be written keeps the state in memory: the run is
    // still sent, and sent again at the next start.
    updateWorldRecords(folder_, [&](std::vector<WorldRecord>& records) {
        const auto at = std::find_if(records.begin(), records.end(),
                                     [&](const auto& r) { return r.run == changed.run; });
        if (at == records.end()) {
            records.push_back(changed);
        } else {
            *at = changed;
        }
    });
}

void WorldOutbox::tryNow() {
    blockedUntil_ = 0;
    failures_ = 0;
}

void WorldOutbox::add(const HallOfFameLine& line, const std::string& road) {
    if (record(line.run) != nullptr) {
        return;
    }
    WorldRecord r;
    r.run = line.run;
    r.name = line.name;
    r.score = line.score;
    r.road = road;
    records_.push_back(r);
    save(r);
}

std::optional<WorldRequest> WorldOutbox::next(double nowMs) {
    if (out_ || nowMs < blockedUntil_) {
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
        return std::nullopt;
    }
    WorldRequest request;
    request.run = soonest->run;
    if (soonest->state == WorldState::Waiting && !soonest->id.empty()) {
        request.purpose = WorldRequest::Purpose::Check;
        request.target = "/api/runs/" + percentEncoded(soonest->id);
    } else if (readRun(folder_, soonest->run, request.body)) {
        request.purpose = WorldRequest::Purpose::Submit;
        request.method = "POST";
        request.target = "/api/runs?name=" + percentEncoded(soonest->name) +
                         "&score=" + percentEncoded(soonest->score) +
                         (soonest->road.empty() ? "" : "&road=" + percentEncoded(soonest->road));
    } else {
        soonest->state = WorldState::Rejected;
        soonest->reason = "its run is no longer kept here";
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
    if (request->purpose == WorldRequest::Purpose::Check && reply.status == 404) {
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

void WorldOutbox::tookIt(WorldRecord& r, const WorldReply& reply, double nowMs) {
    if (const std::string id = fieldOf(reply.fields, "id"); !id.empty()) {
        r.id = id;
    }
    const std::string status = fieldOf(reply.fields, "status");
    if (status == "verified") {
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
