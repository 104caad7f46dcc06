// SPDX-License-Identifier: GPL-3.0-or-later
// Every handler answers in JSON; a database that cannot be reached is a 503
// with a plain reason and a Retry-After, any other fault a bare 500: no
// exception's text ever goes to a client. Work that waits on the database
// runs on the work pool; a board already kept is answered at once.
#include "server/api.h"

#include "server/access_log.h"
#include "server/board_cache.h"
#include "server/client_address.h"
#include "server/player_name.h"
#include "server/rate_limit.h"
#include "server/road_runs.h"
#include "server/run_intake.h"
#include "server/static_files.h"
#include "server/utc_time.h"
#include "shared_rules/run_limits.h"

#include <atomic>
#include <charconv>
#include <iostream>
#include <map>
#include <memory>
#include <nlohmann/json.hpp>
#include <random>

namespace kestrada::server {

namespace {

using nlohmann::json;

constexpr int64_t kMaxBoardRows = 100;
constexpr int64_t kDefaultBoardRows = 10;
constexpr const char* kBusyRetrySeconds = "2";
constexpr const char* kDatabaseRetrySeconds = "5";
constexpr const char* kQueueRetrySeconds = "30";
// After the database failed to answer, how long it is taken for down: the
// boards answer from their last answer and the rest 503 without trying it.
constexpr std::chrono::milliseconds kDownFor{1000};
// How long a board waits for the database before its last answer is sent.
constexpr std::chrono::milliseconds kStaleAfter{100};

HttpResponse answer(int status, std::string body) {
    HttpResponse res;
    res.status = status;
    res.headers.emplace_back("Cache-Control", "no-store");
    res.body = std::move(body);
    return res;
}

HttpResponse answer(int status, const json& body) {
    return answer(status, body.dump());
}

HttpResponse refuse(int status, const std::string& reason) {
    return answer(status, json{{"error", reason}});
}

HttpResponse refuseFor(int status, const std::string& reason, const char* retryAfter) {
    HttpResponse res = refuse(status, reason);
    res.headers.emplace_back("Retry-After", retryAfter);
    return res;
}

// A board's last good answer, marked as such, for when the database does not answer.
HttpResponse staleAnswer(const std::string& body) {
    HttpResponse res = answer(200, "{\"stale\":true," + body.substr(1));
    res.headers.emplace_back("Warning", "110 - \"Response is Stale\"");
    return res;
}

HttpResponse unavailableAnswer(const std::string& path) {
    if (path == "/api/health") {
        HttpResponse res = answer(
            503, json{{"database", "unavailable"}, {"error", "the database is unavailable"}});
        res.headers.emplace_back("Retry-After", kDatabaseRetrySeconds);
        return res;
    }
    return refuseFor(503, "the database is unavailable; send the run again later",
                     kDatabaseRetrySeconds);
}

json nullable(const std::optional<int64_t>& value) {
    return value ? json(*value) : json(nullptr);
}

json runJson(const RunRecord& run) {
    json body{{"id", run.id},
              {"name", run.name},
              {"status", run.status},
              {"claimed", run.claimed},
              {"score", nullable(run.score)},
              {"reason", run.reason},
              {"rank", nullable(run.rank)},
              {"submitted", utcTime(run.submittedMs)}};
    if (run.removed) {
        body["removed"] = true;
    }
    return body;
}

json boardJson(const std::vector<BoardRow>& rows) {
    json entries = json::array();
    for (const BoardRow& row : rows) {
        entries.push_back({{"rank", row.rank},
                           {"name", row.name},
                           {"score", row.score},
                           {"date", utcTime(row.submittedMs)},
                           {"run", row.run}});
    }
    return json{{"entries", entries}};
}

std::optional<int64_t> wholeParam(const HttpRequest& req, const char* name, int64_t fallback) {
    if (!req.has(name)) {
        return fallback;
    }
    const std::string text = req.param(name);
    int64_t value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || error != std::errc() || end != text.data() + text.size()) {
        return std::nullopt;
    }
    return value;
}

// "/api/runs/ID" and "/api/runs/ID/recording": the id, when the path is one of them.
std::optional<int64_t> runIdOf(const std::string& path, bool recording) {
    static const std::string prefix = "/api/runs/";
    static const std::string suffix = "/recording";
    if (!path.starts_with(prefix) || (recording && !path.ends_with(suffix))) {
        return std::nullopt;
    }
    const std::size_t end = path.size() - (recording ? suffix.size() : 0);
    const std::string_view digits(path.data() + prefix.size(), end - prefix.size());
    constexpr std::size_t kMaxDigits = 18;
    int64_t id = 0;
    const auto [stop, error] = std::from_chars(digits.data(), digits.data() + digits.size(), id);
    if (digits.empty() || digits.size() > kMaxDigits || error != std::errc() ||
        stop != digits.data() + digits.size() || digits[0] == '-' || digits[0] == '+') {
        return std::nullopt;
    }
    return id;
}

uint32_t freshSeed() {
    static std::random_device device;
    static std::mutex mutex;
    std::lock_guard lock(mutex);
    return device();
}

bool isLoopback(const std::string& peer) {
    return peer.starts_with("127.") || peer == "::1" || peer.starts_with("::ffff:127.");
}

HttpResponse failureAnswer(const HttpRequest& req, std::exception_ptr error) {
    try {
        std::rethrow_exception(error);
    } catch (const DatabaseError& failure) {
        std::cerr << req.method << ' ' << req.path << ": " << failure.what() << '\n';
        if (failure.unavailable()) {
            return unavailableAnswer(req.path);
        }
    } catch (const std::exception& failure) {
        std::cerr << req.method << ' ' << req.path << ": " << failure.what() << '\n';
    } catch (...) {
        std::cerr << req.method << ' ' << req.path << ": unknown failure\n";
    }
    return refuse(500, "internal error");
}

class Api : public std::enable_shared_from_this<Api> {
  public:
    Api(ApiParts parts, const ApiSettings& settings)
        : parts_(std::move(parts)), settings_(settings), reads_(settings.requestsPerMinute),
          posts_(settings.postsPerMinute) {}

    // From the headers alone: limits, and bodies the server will not read.
    std::optional<HttpResponse> screen(const HttpRequest& req) {
        const bool counted = req.path.starts_with("/api/") && req.path != "/api/health";
        const bool submission = req.method == "POST";
        if (counted && !(submission ? posts_ : reads_).allow(req.client, nowMs())) {
            return refuseFor(429,
                             submission ? "too many runs sent; try again in a minute"
                                        : "too many requests; try again in a minute",
                             "60");
        }
        if (!submission && req.method != "PUT" && req.method != "PATCH") {
            return std::nullopt;
        }
        if (req.header("transfer-encoding")) {
            return refuse(400, "send the run with a Content-Length, not chunked");
        }
        if (req.header("content-encoding")) {
            return refuse(415, "send the run uncompressed");
        }
        const auto length = req.header("content-length");
        if (!length) {
            return refuse(411, "a Content-Length is needed");
        }
        uint64_t bytes = 0;
        const auto [end, error] =
            std::from_chars(length->data(), length->data() + length->size(), bytes);
        if (error != std::errc() || end != length->data() + length->size()) {
            return refuse(400, "a bad Content-Length");
        }
        if (bytes > kMaxRunFileBytes) {
            return refuse(413, std::string("run file over ") + shared_rules::kMaxRunFileText);
        }
        return std::nullopt;
    }

    void handle(HttpRequest req, Reply reply) {
        const bool api = req.path.starts_with("/api/");
        if (api && !req.path.starts_with("/api/boards/") && databaseDown()) {
            reply(unavailableAnswer(req.path));
            return;
        }
        if (req.method == "GET" &&
            (req.path == "/api/boards/all" || req.path == "/api/boards/road")) {
            board(std::move(req), std::move(reply));
            return;
        }
        if (req.method == "POST" && req.path == "/api/runs") {
            offload(std::move(req), reply,
                    [self = shared_from_this(), reply](const HttpRequest& r) {
                        return self->submit(r, reply);
                    });
            return;
        }
        offload(std::move(req), reply,
                [self = shared_from_this()](const HttpRequest& r) { return self->route(r); });
    }

    void answered(const HttpRequest& req, int status, std::size_t bytes) {
        parts_.metrics.countRequest(routeOf(req.path), status);
        accessLog_.add(req, status, bytes);
    }

  private:
    using Work = std::function<std::optional<HttpResponse>(const HttpRequest&)>;

    // Runs the work on the pool; an answer it gives is sent, none means it
    // answers later by itself. When the pool is full, `whenBusy` is sent, or a 503.
    void offload(HttpRequest req, const Reply& reply, Work work,
                 std::optional<HttpResponse> whenBusy = std::nullopt) {
        auto shared = std::make_shared<HttpRequest>(std::move(req));
        const bool taken =
            parts_.pool.post([self = shared_from_this(), shared, reply, work = std::move(work)] {
                std::optional<HttpResponse> res;
                try {
                    res = work(*shared);
                    self->downUntil_ = 0;
                } catch (const DatabaseError& error) {
                    if (error.unavailable()) {
                        self->downUntil_ = nowMs() + kDownFor.count();
                    }
                    res = failureAnswer(*shared, std::current_exception());
                } catch (...) {
                    res = failureAnswer(*shared, std::current_exception());
                }
                if (res) {
                    reply(std::move(*res));
                }
            });
        if (!taken) {
            reply(whenBusy ? std::move(*whenBusy)
                           : refuseFor(503, "the server is busy; try again in a moment",
                                       kBusyRetrySeconds));
        }
    }

    bool databaseDown() const { return nowMs() < downUntil_.load(); }

    std::optional<HttpResponse> route(const HttpRequest& req) {
        const std::string& path = req.path;
        if (req.method == "GET") {
            if (const auto id = runIdOf(path, false)) {
                return run(*id);
            }
            if (const auto id = runIdOf(path, true)) {
                return recording(*id);
            }
            if (path == "/api/road") {
                return road();
            }
            if (path == "/api/names/check") {
                return checkName(req);
            }
            if (path == "/api/health") {
                return health();
            }
            if (path == "/metrics") {
                return metrics(req);
            }
        }
        if (path.starts_with("/api/")) {
            return refuse(404, "no such resource");
        }
        if (settings_.site && (req.method == "GET" || req.method == "HEAD")) {
            if (auto file = staticFile(*settings_.site, path)) {
                return file;
            }
        }
        HttpResponse missing;
        missing.status = 404;
        missing.contentType.clear();
        return missing;
    }

    std::optional<HttpResponse> submit(const HttpRequest& req, const Reply& reply) {
        const NameVerdict verdict = checkPlayerName(req.param("name"));
        if (!verdict.name) {
            return refuse(400, "name: " + verdict.reason);
        }
        const PlayerName& name = *verdict.name;
        const auto claimed = parseClaimedScore(req.param("score"));
        if (!claimed) {
            return refuse(400, "score: the score the game showed, a whole number");
        }
        const RunIntake intake = checkRunFile(req.body);
        if (intake.status != 0) {
            return refuse(intake.status, intake.reason);
        }
        const int64_t now = parts_.verifiers.nowMs();
        const std::string road = req.param("road");
        if (req.has("road")) {
            if (const auto refusal = roadRunRefusal(parts_.store, road, intake.seed, now)) {
                return refuse(422, *refusal);
            }
        }
        const Submission submission{sha256Hex(req.body), name.shown, name.key, *claimed,
                                    intake.seed,         req.body,   now,      road};
        const SenderCaps caps{req.client, settings_.queuedPerClient, settings_.queuedInAll,
                              settings_.runsPerClientPerDay};
        const Submitted submitted = parts_.store.submit(submission, caps);
        if (submitted.refused != Submitted::Refused::No) {
            return refusedSubmission(submitted, name, *claimed);
        }
        if (!submitted.created) {
            return withLocation(submitted.id, answerFor(submitted.id, false));
        }
        parts_.verifiers.wake();
        if (settings_.verifyWait.count() == 0) {
            return withLocation(submitted.id, queuedAnswer(submitted.id));
        }
        // The answer waits for the verification, holding no thread meanwhile.
        const int64_t id = submitted.id;
        parts_.verifiers.whenFinished(
            id, settings_.verifyWait, [self = shared_from_this(), id, reply](bool finished) {
                if (!finished) {
                    reply(self->withLocation(id, self->queuedAnswer(id)));
                    return;
                }
                const bool taken = self->parts_.pool.post([self, id, reply] {
                    HttpRequest none;
                    none.method = "POST";
                    none.path = "/api/runs";
                    try {
                        reply(self->withLocation(id, self->answerFor(id, true)));
                    } catch (...) {
                        reply(failureAnswer(none, std::current_exception()));
                    }
                });
                if (!taken) {
                    reply(self->withLocation(id, self->queuedAnswer(id)));
                }
            });
        return std::nullopt;
    }

    HttpResponse refusedSubmission(const Submitted& submitted, const PlayerName& name,
                                   int64_t claimed) {
        switch (submitted.refused) {
        case Submitted::Refused::OtherClaim:
            return withLocation(submitted.id, otherClaim(submitted.id, name, claimed));
        case Submitted::Refused::ClientDayFull:
            return refuseFor(429, "too many runs sent from this address today; try again tomorrow",
                             "3600");
        case Submitted::Refused::ClientQueueFull:
            return refuseFor(429,
                             "too many of your runs are waiting to be verified; try again later",
                             kQueueRetrySeconds);
        default:
            return refuseFor(503, "too many runs are waiting to be verified; try again later",
                             kQueueRetrySeconds);
        }
    }

    // The file is kept already under another claim: judged by its first
    // replay, never replayed again. The replay's own score is taken from the
    // name that sent the file first, once that claim was rejected.
    HttpResponse otherClaim(int64_t id, const PlayerName& name, int64_t claimed) {
        const auto first = parts_.store.run(id);
        if (!first) {
            return refuse(500, "internal error");
        }
        if (first->status == "queued") {
            return refuseFor(409,
                             "this run was sent before with another score; it is not replayed yet",
                             kQueueRetrySeconds);
        }
        if (!first->score) {
            return refuse(422, "this run was refused: " + first->reason);
        }
        if (*first->score != claimed) {
            return refuse(422, "this run replays to " + std::to_string(*first->score));
        }
        if (!parts_.store.takeClaim(id, name.shown, name.key, claimed)) {
            return refuse(409, "this run was sent before under another name");
        }
        parts_.verifiers.boardsChanged();
        return answerFor(id, true);
    }

    HttpResponse withLocation(int64_t id, HttpResponse res) {
        res.headers.emplace_back("Location", "/api/runs/" + std::to_string(id));
        return res;
    }

    HttpResponse queuedAnswer(int64_t id) {
        return answer(202, json{{"id", id}, {"status", "queued"}});
    }

    // The run as it stands: `fresh` for the answer to the request that made it.
    HttpResponse answerFor(int64_t id, bool fresh) {
        const auto run = parts_.store.run(id);
        if (!run) {
            return refuse(500, "internal error");
        }
        if (!fresh) {
            return answer(200, runJson(*run));
        }
        if (run->status == "queued") {
            return queuedAnswer(id);
        }
        json body{{"id", run->id},
                  {"status", run->status},
                  {"score", nullable(run->score)},
                  {"rank", nullable(run->rank)}};
        if (!run->reason.empty()) {
            body["reason"] = run->reason;
        }
        return answer(201, body);
    }

    HttpResponse run(int64_t id) {
        const auto found = parts_.store.run(id);
        if (!found) {
            return refuse(404, "no such run");
        }
        return answer(200, runJson(*found));
    }

    HttpResponse recording(int64_t id) {
        const auto text = parts_.store.recording(id);
        if (!text) {
            return refuse(404, "no such run");
        }
        HttpResponse res;
        res.contentType = "text/plain; charset=utf-8";
        res.headers.emplace_back("Content-Disposition", "attachment; filename=\"kestrada-run-" +
                                                            std::to_string(id) + ".txt\"");
        res.body = *text;
        return res;
    }

    // Validated and looked up in the kept answers here; only a miss goes to the pool.
    void board(HttpRequest req, Reply reply) {
        const auto limit = wholeParam(req, "limit", kDefaultBoardRows);
        const auto offset = wholeParam(req, "offset", 0);
        if (!limit || *limit < 1 || *limit > kMaxBoardRows) {
            reply(refuse(400, "limit: 1 to 100"));
            return;
        }
        if (!offset || *offset < 0) {
            reply(refuse(400, "offset: 0 or more"));
            return;
        }
        std::optional<PlayerName> around;
        if (req.has("around")) {
            const NameVerdict verdict = checkPlayerName(req.param("around"));
            if (!verdict.name) {
                reply(refuse(400, "around: " + verdict.reason));
                return;
            }
            around = verdict.name;
        }
        std::string board = kAllBoard;
        if (req.path == "/api/boards/road") {
            const std::string day =
                req.has("date") ? req.param("date") : utcDay(parts_.verifiers.nowMs());
            if (!isUtcDay(day)) {
                reply(refuse(400, "date: YYYY-MM-DD"));
                return;
            }
            board = roadBoard(day);
        }
        std::string key = board + " " + std::to_string(*limit) + " " + std::to_string(*offset) +
                          " " + (around ? around->key : "");
        if (auto kept = cache_.find(key, parts_.verifiers.generation(), BoardCache::Clock::now())) {
            reply(answer(200, std::move(*kept)));
            return;
        }
        const auto last = cache_.last(key);
        if (last && (databaseDown() || refreshOverdue(key))) {
            reply(staleAnswer(*last));
            return;
        }
        // Whichever comes first: the database's answer, or the last one kept.
        auto once = std::make_shared<std::atomic<bool>>(false);
        Reply first = [once, reply](HttpResponse res) {
            if (!once->exchange(true)) {
                reply(std::move(res));
            }
        };
        if (last) {
            parts_.verifiers.after(kStaleAfter,
                                   [first, body = *last] { first(staleAnswer(body)); });
        }
        offload(
            std::move(req), first,
            [self = shared_from_this(), board, key, limit = *limit, offset = *offset,
             aroundKey = around ? std::optional<std::string>(around->key)
                                : std::nullopt](const HttpRequest&) {
                const uint64_t generation = self->parts_.verifiers.generation();
                const auto now = BoardCache::Clock::now();
                RunStore& store = self->parts_.store;
                const RefreshMark mark(*self, key, now);
                const json body = boardJson(aroundKey ? store.around(board, *aroundKey)
                                                      : store.board(board, limit, offset));
                std::string text = body.dump();
                self->cache_.keep(key, text, generation, now);
                return std::optional<HttpResponse>(answer(200, std::move(text)));
            },
            last ? std::optional<HttpResponse>(staleAnswer(*last)) : std::nullopt);
    }

    // A board whose database query has gone unanswered past kStaleAfter is
    // answered from its last answer at once, not after a wait of its own.
    class RefreshMark {
      public:
        RefreshMark(Api& api, const std::string& key, BoardCache::Clock::time_point now)
            : api_(api), key_(key) {
            std::lock_guard lock(api_.refreshMutex_);
            api_.refreshStarted_.emplace(key_, now);
        }
        ~RefreshMark() {
            std::lock_guard lock(api_.refreshMutex_);
            api_.refreshStarted_.erase(key_);
        }
        RefreshMark(const RefreshMark&) = delete;
        RefreshMark& operator=(const RefreshMark&) = delete;

      private:
        Api& api_;
        const std::string& key_;
    };

    bool refreshOverdue(const std::string& key) {
        std::lock_guard lock(refreshMutex_);
        const auto found = refreshStarted_.find(key);
        return found != refreshStarted_.end() &&
               BoardCache::Clock::now() - found->second >= kStaleAfter;
    }

    HttpResponse road() {
        const std::string day = utcDay(parts_.verifiers.nowMs());
        return answer(200, roadAnswer(day, parts_.store.road(day, freshSeed())));
    }

    // Whether a name would be taken, and under which key; the page, which
    // has no Unicode data of its own, asks before it sends.
    HttpResponse checkName(const HttpRequest& req) {
        const NameVerdict verdict = checkPlayerName(req.param("name"));
        return answer(200, verdict.name ? json{{"taken", true},
                                               {"name", verdict.name->shown},
                                               {"key", verdict.name->key}}
                                        : json{{"taken", false}, {"reason", verdict.reason}});
    }

    HttpResponse health() {
        try {
            const Health health = parts_.store.health();
            return answer(
                200,
                json{{"database", "ok"}, {"queued", health.queued}, {"verified", health.verified}});
        } catch (const DatabaseError& error) {
            if (!error.unavailable()) {
                throw;
            }
            HttpResponse res = answer(
                503, json{{"database", "unavailable"}, {"error", "the database is unavailable"}});
            res.headers.emplace_back("Retry-After", kDatabaseRetrySeconds);
            return res;
        }
    }

    // For the operator: from this machine or the trusted proxy only.
    HttpResponse metrics(const HttpRequest& req) {
        const bool fromProxy =
            settings_.trustedProxy && addressKey(*settings_.trustedProxy) == addressKey(req.peer);
        if (!isLoopback(req.peer) && !fromProxy) {
            return refuse(403, "metrics are for this machine and the trusted proxy");
        }
        MetricsGauges gauges;
        gauges.openConnections = parts_.openConnections ? parts_.openConnections() : 0;
        try {
            const Health health = parts_.store.health();
            gauges.queued = health.queued;
            if (health.oldestQueuedMs) {
                gauges.oldestQueuedSeconds =
                    static_cast<double>(
                        std::max<int64_t>(0, parts_.verifiers.nowMs() - *health.oldestQueuedMs)) /
                    1000.0;
            }
        } catch (const DatabaseError&) {
            gauges.queued = -1; // the database did not answer
        }
        HttpResponse res;
        res.contentType = "text/plain; version=0.0.4";
        res.body = parts_.metrics.text(gauges);
        return res;
    }

    ApiParts parts_;
    ApiSettings settings_;
    RateLimit reads_;
    RateLimit posts_;
    BoardCache cache_;
    std::atomic<int64_t> downUntil_{0}; // ms since 1970
    std::mutex refreshMutex_;
    std::map<std::string, BoardCache::Clock::time_point> refreshStarted_; // queries in flight
    AccessLog accessLog_;
};

} // namespace

HttpRoutes apiRoutes(ApiParts parts, const ApiSettings& settings) {
    auto api = std::make_shared<Api>(std::move(parts), settings);
    HttpRoutes routes;
    routes.screen = [api](const HttpRequest& req) { return api->screen(req); };
    routes.handle = [api](HttpRequest req, Reply reply) {
        api->handle(std::move(req), std::move(reply));
    };
    routes.answered = [api](const HttpRequest& req, int status, std::size_t bytes) {
        api->answered(req, status, bytes);
    };
    return routes;
}

} // namespace kestrada::server
