// SPDX-License-Identifier: GPL-3.0-or-later
// Every handler answers in JSON; a database that cannot be reached is a 503
// with a plain reason, any other fault a bare 500: no exception's text ever
// goes to a client.
#include "server/api.h"

#include "server/board_cache.h"
#include "server/player_name.h"
#include "server/road_runs.h"
#include "server/run_intake.h"
#include "server/utc_time.h"
#include "shared_rules/run_limits.h"

#include <charconv>
#include <httplib.h>
#include <iostream>
#include <nlohmann/json.hpp>
#include <random>

namespace kestrada::server {

namespace {

using nlohmann::json;

constexpr int64_t kMaxBoardRows = 100;
constexpr int64_t kDefaultBoardRows = 10;

void answer(httplib::Response& res, int status, std::string body) {
    res.status = status;
    res.set_header("Cache-Control", "no-store");
    res.set_content(std::move(body), "application/json");
}

void answer(httplib::Response& res, int status, const json& body) {
    answer(res, status, body.dump());
}

void refuse(httplib::Response& res, int status, const std::string& reason) {
    answer(res, status, json{{"error", reason}});
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

std::optional<int64_t> wholeParam(const httplib::Request& req, const char* name, int64_t fallback) {
    if (!req.has_param(name)) {
        return fallback;
    }
    const std::string text = req.get_param_value(name);
    int64_t value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || error != std::errc() || end != text.data() + text.size()) {
        return std::nullopt;
    }
    return value;
}

int64_t runIdOf(const httplib::Request& req) {
    int64_t id = 0;
    const std::string text = req.matches[1];
    std::from_chars(text.data(), text.data() + text.size(), id);
    return id;
}

uint32_t freshSeed() {
    static std::random_device device;
    static std::mutex mutex;
    std::lock_guard lock(mutex);
    return device();
}

// Refusals made from the headers alone, before the body is read: the
// library would read a chunked or length-less body whole, and decompress
// a compressed one past any limit.
bool refusedBeforeBody(const httplib::Request& req, httplib::Response& res, RateLimit& limit) {
    // A body left unread must not be taken for the next request.
    res.set_header("Connection", "close");
    if (!limit.allow(req.remote_addr, nowMs())) {
        res.set_header("Retry-After", "60");
        refuse(res, 429, "too many requests; try again in a minute");
        return true;
    }
    if (req.method != "POST" && req.method != "PUT" && req.method != "PATCH") {
        res.headers.erase("Connection");
        return false;
    }
    if (req.has_header("Transfer-Encoding")) {
        refuse(res, 400, "send the run with a Content-Length, not chunked");
        return true;
    }
    if (req.has_header("Content-Encoding")) {
        refuse(res, 415, "send the run uncompressed");
        return true;
    }
    if (!req.has_header("Content-Length")) {
        refuse(res, 411, "a Content-Length is needed");
        return true;
    }
    const std::string length = req.get_header_value("Content-Length");
    uint64_t bytes = 0;
    const auto [end, error] = std::from_chars(length.data(), length.data() + length.size(), bytes);
    if (error != std::errc() || end != length.data() + length.size()) {
        refuse(res, 400, "a bad Content-Length");
        return true;
    }
    if (bytes > kMaxRunFileBytes) {
        refuse(res, 413, std::string("run file over ") + shared_rules::kMaxRunFileText);
        return true;
    }
    res.headers.erase("Connection");
    return false;
}

class Handlers {
  public:
    Handlers(RunStore& store, Verifiers& verifiers, const ApiSettings& settings)
        : store_(store), verifiers_(verifiers), settings_(settings) {}

    void submit(const httplib::Request& req, httplib::Response& res) {
        const NameVerdict name = checkPlayerName(req.get_param_value("name"));
        if (!name.name) {
            refuse(res, 400, "name: " + name.reason);
            return;
        }
        const auto claimed = parseClaimedScore(req.get_param_value("score"));
        if (!claimed) {
            refuse(res, 400, "score: the score the game showed, a whole number");
            return;
        }
        const RunIntake intake = checkRunFile(req.body);
        if (intake.status != 0) {
            refuse(res, intake.status, intake.reason);
            return;
        }
        const int64_t now = nowMs();
        const std::string road = req.get_param_value("road");
        if (req.has_param("road")) {
            if (const auto refusal = roadRunRefusal(store_, road, intake.seed, now)) {
                refuse(res, 422, *refusal);
                return;
            }
        }
        const Submitted submitted =
            store_.submit({sha256Hex(req.body), name.name->shown, name.name->key, *claimed,
                           intake.seed, req.body, now, road});
        const std::string location = "/api/runs/" + std::to_string(submitted.id);
        res.set_header("Location", location);
        if (submitted.created) {
            verifiers_.wake();
            verifiers_.waitFor(submitted.id, settings_.verifyWait);
        }
        const auto run = store_.run(submitted.id);
        if (!run) {
            refuse(res, 500, "internal error");
            return;
        }
        if (!submitted.created) {
            answer(res, 200, runJson(*run));
        } else if (run->status == "queued") {
            answer(res, 202, json{{"id", run->id}, {"status", run->status}});
        } else {
            json body{{"id", run->id},
                      {"status", run->status},
                      {"score", nullable(run->score)},
                      {"rank", nullable(run->rank)}};
            if (!run->reason.empty()) {
                body["reason"] = run->reason;
            }
            answer(res, 201, body);
        }
    }

    void run(const httplib::Request& req, httplib::Response& res) {
        const auto found = store_.run(runIdOf(req));
        if (!found) {
            refuse(res, 404, "no such run");
            return;
        }
        answer(res, 200, runJson(*found));
    }

    void recording(const httplib::Request& req, httplib::Response& res) {
        const int64_t id = runIdOf(req);
        const auto text = store_.recording(id);
        if (!text) {
            refuse(res, 404, "no such run");
            return;
        }
        res.set_header("Content-Disposition",
                       "attachment; filename=\"kestrada-run-" + std::to_string(id) + ".txt\"");
        res.set_content(*text, "text/plain; charset=utf-8");
    }

    void board(const httplib::Request& req, httplib::Response& res, const std::string& board) {
        const auto limit = wholeParam(req, "limit", kDefaultBoardRows);
        const auto offset = wholeParam(req, "offset", 0);
        if (!limit || *limit < 1 || *limit > kMaxBoardRows) {
            refuse(res, 400, "limit: 1 to 100");
            return;
        }
        if (!offset || *offset < 0) {
            refuse(res, 400, "offset: 0 or more");
            return;
        }
        std::optional<PlayerName> around;
        if (req.has_param("around")) {
            const NameVerdict verdict = checkPlayerName(req.get_param_value("around"));
            if (!verdict.name) {
                refuse(res, 400, "around: " + verdict.reason);
                return;
            }
            around = verdict.name;
        }
        const std::string key = board + " " + std::to_string(*limit) + " " +
                                std::to_string(*offset) + " " + (around ? around->key : "");
        const uint64_t generation = verifiers_.generation();
        const auto now = BoardCache::Clock::now();
        if (auto kept = cache_.find(key, generation, now)) {
            answer(res, 200, std::move(*kept));
            return;
        }
        const json body = boardJson(around ? store_.around(board, around->key)
                                           : store_.board(board, *limit, *offset));
        std::string text = body.dump();
        cache_.keep(key, text, generation, now);
        answer(res, 200, std::move(text));
    }

    void roadBoard(const httplib::Request& req, httplib::Response& res) {
        const std::string day =
            req.has_param("date") ? req.get_param_value("date") : utcDay(nowMs());
        if (!isUtcDay(day)) {
            refuse(res, 400, "date: YYYY-MM-DD");
            return;
        }
        board(req, res, server::roadBoard(day));
    }

    void road(const httplib::Request&, httplib::Response& res) {
        const std::string day = utcDay(nowMs());
        answer(res, 200, roadAnswer(day, store_.road(day, freshSeed())));
    }

    // Whether a name would be taken, and under which key; the page, which
    // has no Unicode data of its own, asks before it sends.
    void checkName(const httplib::Request& req, httplib::Response& res) {
        const NameVerdict verdict = checkPlayerName(req.get_param_value("name"));
        answer(
            res, 200,
            verdict.name
                ? json{{"taken", true}, {"name", verdict.name->shown}, {"key", verdict.name->key}}
                : json{{"taken", false}, {"reason", verdict.reason}});
    }

    void health(const httplib::Request&, httplib::Response& res) {
        try {
            const Health health = store_.health();
            answer(
                res, 200,
                json{{"database", "ok"}, {"queued", health.queued}, {"verified", health.verified}});
        } catch (const DatabaseError& error) {
            if (!error.unavailable()) {
                throw;
            }
            answer(res, 503,
                   json{{"database", "unavailable"}, {"error", "the database is unavailable"}});
        }
    }

  private:
    RunStore& store_;
    Verifiers& verifiers_;
    ApiSettings settings_;
    BoardCache cache_;
};

void onException(const httplib::Request& req, httplib::Response& res, std::exception_ptr error) {
    try {
        std::rethrow_exception(error);
    } catch (const DatabaseError& failure) {
        std::cerr << req.method << ' ' << req.path << ": " << failure.what() << '\n';
        if (failure.unavailable()) {
            refuse(res, 503, "the database is unavailable; send the run again later");
            return;
        }
    } catch (const std::exception& failure) {
        std::cerr << req.method << ' ' << req.path << ": " << failure.what() << '\n';
    } catch (...) {
        std::cerr << req.method << ' ' << req.path << ": unknown failure\n";
    }
    refuse(res, 500, "internal error");
}

} // namespace

void mountApi(httplib::Server& http, RunStore& store, Verifiers& verifiers, RateLimit& rateLimit,
              const ApiSettings& settings) {
    auto handlers = std::make_shared<Handlers>(store, verifiers, settings);
    using Req = const httplib::Request&;
    using Res = httplib::Response&;
    http.set_pre_routing_handler([&rateLimit](Req req, Res res) {
        return refusedBeforeBody(req, res, rateLimit) ? httplib::Server::HandlerResponse::Handled
                                                      : httplib::Server::HandlerResponse::Unhandled;
    });
    http.set_exception_handler(onException);
    http.Post("/api/runs", [handlers](Req req, Res res) { handlers->submit(req, res); });
    http.Get(R"(/api/runs/(\d{1,18}))", [handlers](Req req, Res res) { handlers->run(req, res); });
    http.Get(R"(/api/runs/(\d{1,18})/recording)",
             [handlers](Req req, Res res) { handlers->recording(req, res); });
    http.Get("/api/boards/all",
             [handlers](Req req, Res res) { handlers->board(req, res, kAllBoard); });
    http.Get("/api/boards/road", [handlers](Req req, Res res) { handlers->roadBoard(req, res); });
    http.Get("/api/road", [handlers](Req req, Res res) { handlers->road(req, res); });
    http.Get("/api/names/check", [handlers](Req req, Res res) { handlers->checkName(req, res); });
    http.Get("/api/health", [handlers](Req req, Res res) { handlers->health(req, res); });
    http.set_error_handler([](Req req, Res res) {
        if (res.body.empty() && req.path.starts_with("/api/")) {
            refuse(res, res.status, res.status == 404 ? "no such resource" : "refused");
        }
    });
    if (settings.site) {
        http.set_mount_point("/", *settings.site);
    }
}

} // namespace kestrada::server
