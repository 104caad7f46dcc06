// SPDX-License-Identifier: GPL-3.0-or-later
// PostgreSQL through plain libpq: every statement prepared once per
// connection, parameters sent as text. A lost connection makes the
// connection unhealthy; the pool then opens a new one for the next request.
// A database that stops answering (stopped, or gone from the network) is
// a fault within seconds, never a hang: each statement has a deadline of
// its own here, besides the server's statement_timeout and TCP keepalives.
#include "server/database.h"

#include <cerrno>
#include <chrono>
#include <libpq-fe.h>
#include <map>
#include <poll.h>

namespace kestrada::server {

namespace {

constexpr const char* kConnectTimeout = "2";
constexpr std::chrono::milliseconds kStatementDeadline{2000};

// Connection failures, and the server shutting down or starting up.
bool isUnavailableState(std::string_view state) {
    return state.starts_with("08") || state.starts_with("57P") || state == "53300";
}

bool isRetryState(std::string_view state) {
    return state == "40001" || state == "40P01";
}

class PostgresConnection : public Connection {
  public:
    explicit PostgresConnection(const std::string& conninfo) {
        // Defaults first: what the operator's conninfo says overrides them.
        const char* keys[] = {"connect_timeout",
                              "application_name",
                              "keepalives",
                              "keepalives_idle",
                              "keepalives_interval",
                              "keepalives_count",
                              "tcp_user_timeout",
                              "options",
                              "dbname",
                              nullptr};
        const char* values[] = {kConnectTimeout,
                                "kestrada-server",
                                "1",
                                "5",
                                "2",
                                "2",
                                "5000",
                                "-c statement_timeout=2000",
                                conninfo.c_str(),
                                nullptr};
        // expand_dbname: the whole conninfo text (or URI) sits in dbname.
        conn_ = PQconnectdbParams(keys, values, 1);
        if (PQstatus(conn_) != CONNECTION_OK) {
            std::string what = PQerrorMessage(conn_);
            PQfinish(conn_);
            conn_ = nullptr;
            throw DatabaseError("postgresql: " + firstLine(what), true);
        }
        PQsetNoticeProcessor(
            conn_, [](void*, const char*) {}, nullptr);
    }
    ~PostgresConnection() override { PQfinish(conn_); }
    PostgresConnection(const PostgresConnection&) = delete;
    PostgresConnection& operator=(const PostgresConnection&) = delete;

    Dialect dialect() const override { return Dialect::Postgres; }
    bool healthy() const override { return conn_ != nullptr && PQstatus(conn_) == CONNECTION_OK; }

    std::vector<Row> query(std::string_view sql, const Params& params) override {
        if (!healthy()) {
            throw DatabaseError("postgresql: connection lost", true);
        }
        std::vector<std::string> texts(params.size());
        std::vector<const char*> values(params.size(), nullptr);
        for (std::size_t i = 0; i < params.size(); ++i) {
            if (const auto* number = std::get_if<int64_t>(&params[i])) {
                texts[i] = std::to_string(*number);
                values[i] = texts[i].c_str();
            } else if (const auto* text = std::get_if<std::string>(&params[i])) {
                values[i] = text->c_str();
            }
        }
        const std::string& name = prepared(sql, static_cast<int>(params.size()));
        const int sent = PQsendQueryPrepared(conn_, name.c_str(), static_cast<int>(params.size()),
                                             values.data(), nullptr, nullptr, 0);
        return rowsOf(sent == 1 ? awaitResult() : nullptr);
    }

  private:
    const std::string& prepared(std::string_view sql, int paramCount) {
        auto found = statements_.find(sql);
        if (found != statements_.end()) {
            return found->second;
        }
        std::string name = "s" + std::to_string(statements_.size());
        const int sent =
            PQsendPrepare(conn_, name.c_str(), std::string(sql).c_str(), paramCount, nullptr);
        rowsOf(sent == 1 ? awaitResult() : nullptr);
        return statements_.emplace(std::string(sql), std::move(name)).first->second;
    }

    // The statement's last result, or none when the database did not answer
    // in time: the connection is dropped then, never waited on again.
    PGresult* awaitResult() {
        const auto deadline = std::chrono::steady_clock::now() + kStatementDeadline;
        PGresult* last = nullptr;
        for (;;) {
            for (;;) {
                const int flushing = PQflush(conn_);
                if (flushing < 0 || (flushing == 0 && PQisBusy(conn_) == 0)) {
                    break;
                }
                const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                    deadline - std::chrono::steady_clock::now());
                const short events = static_cast<short>(POLLIN | (flushing == 1 ? POLLOUT : 0));
                pollfd wait{PQsocket(conn_), events, 0};
                const int ready =
                    left.count() > 0 ? poll(&wait, 1, static_cast<int>(left.count())) : 0;
                if (ready == 0) {
                    PQclear(last);
                    PQfinish(conn_);
                    conn_ = nullptr;
                    throw DatabaseError("postgresql: no answer in time", true);
                }
                if ((ready < 0 && errno != EINTR) || PQconsumeInput(conn_) == 0) {
                    break;
                }
            }
            PGresult* next = PQgetResult(conn_);
            if (next == nullptr) {
                return last;
            }
            PQclear(last);
            last = next;
        }
    }

    std::vector<Row> rowsOf(PGresult* result) {
        const ExecStatusType status = PQresultStatus(result);
        if (status != PGRES_COMMAND_OK && status != PGRES_TUPLES_OK) {
            const char* field = result ? PQresultErrorField(result, PG_DIAG_SQLSTATE) : nullptr;
            const std::string state = field ? field : "";
            std::string what = result ? PQresultErrorMessage(result) : PQerrorMessage(conn_);
            PQclear(result);
            const bool lost = !healthy();
            throw DatabaseError("postgresql: " + firstLine(what), lost || isUnavailableState(state),
                                isRetryState(state));
        }
        std::vector<Row> rows;
        const int count = PQntuples(result);
        const int columns = PQnfields(result);
        rows.reserve(static_cast<std::size_t>(count));
        for (int r = 0; r < count; ++r) {
            Row row;
            for (int c = 0; c < columns; ++c) {
                if (PQgetisnull(result, r, c)) {
                    row.emplace_back();
                } else {
                    row.emplace_back(
                        std::string(PQgetvalue(result, r, c),
                                    static_cast<std::size_t>(PQgetlength(result, r, c))));
                }
            }
            rows.push_back(std::move(row));
        }
        PQclear(result);
        return rows;
    }

    static std::string firstLine(const std::string& text) {
        return text.substr(0, text.find('\n'));
    }

    PGconn* conn_ = nullptr;
    std::map<std::string, std::string, std::less<>> statements_;
};

} // namespace

std::unique_ptr<Connection> openPostgres(const std::string& conninfo) {
    return std::make_unique<PostgresConnection>(conninfo);
}

} // namespace kestrada::server
