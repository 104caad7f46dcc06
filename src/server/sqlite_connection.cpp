// SPDX-License-Identifier: GPL-3.0-or-later
// SQLite: WAL, so board reads never wait for the one writer, and a busy
// timeout, so writers queue for each other instead of failing at once.
#include "server/database.h"

#include <map>
#include <sqlite3.h>

namespace kestrada::server {

namespace {

constexpr int kBusyTimeoutMs = 5000;

bool isUnavailable(int code) {
    switch (code & 0xff) {
    case SQLITE_BUSY:
    case SQLITE_LOCKED:
    case SQLITE_READONLY:
    case SQLITE_IOERR:
    case SQLITE_CANTOPEN:
    case SQLITE_FULL:
    case SQLITE_PERM:
    case SQLITE_NOTADB:
    case SQLITE_CORRUPT:
        return true;
    default:
        return false;
    }
}

class SqliteConnection : public Connection {
  public:
    explicit SqliteConnection(const std::string& path) {
        const int flags = SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_NOMUTEX;
        const int code = sqlite3_open_v2(path.c_str(), &db_, flags, nullptr);
        if (code != SQLITE_OK) {
            const std::string what = db_ ? sqlite3_errmsg(db_) : sqlite3_errstr(code);
            sqlite3_close(db_);
            db_ = nullptr;
            throw DatabaseError("sqlite: " + what, true);
        }
        sqlite3_extended_result_codes(db_, 1);
        // A positive timeout: zero or less would switch the busy wait off.
        sqlite3_busy_timeout(db_, kBusyTimeoutMs);
        query("PRAGMA journal_mode=WAL", {});
        // In WAL mode NORMAL survives any crash of the program; only a
        // power loss may take the last commits.
        query("PRAGMA synchronous=NORMAL", {});
    }
    ~SqliteConnection() override {
        for (auto& [sql, statement] : statements_) {
            sqlite3_finalize(statement);
        }
        sqlite3_close(db_);
    }
    SqliteConnection(const SqliteConnection&) = delete;
    SqliteConnection& operator=(const SqliteConnection&) = delete;

    Dialect dialect() const override { return Dialect::Sqlite; }
    bool healthy() const override { return db_ != nullptr; }

    std::vector<Row> query(std::string_view sql, const Params& params) override {
        sqlite3_stmt* statement = prepared(sql);
        sqlite3_reset(statement);
        sqlite3_clear_bindings(statement);
        for (std::size_t i = 0; i < params.size(); ++i) {
            bind(statement, i, params[i]);
        }
        std::vector<Row> rows;
        for (;;) {
            const int code = sqlite3_step(statement);
            if (code == SQLITE_DONE) {
                break;
            }
            if (code != SQLITE_ROW) {
                sqlite3_reset(statement);
                fail(code);
            }
            rows.push_back(rowOf(statement));
        }
        sqlite3_reset(statement);
        return rows;
    }

  private:
    sqlite3_stmt* prepared(std::string_view sql) {
        auto found = statements_.find(sql);
        if (found != statements_.end()) {
            return found->second;
        }
        sqlite3_stmt* statement = nullptr;
        const int code = sqlite3_prepare_v3(db_, sql.data(), static_cast<int>(sql.size()),
                                            SQLITE_PREPARE_PERSISTENT, &statement, nullptr);
        if (code != SQLITE_OK) {
            fail(code);
        }
        statements_.emplace(std::string(sql), statement);
        return statement;
    }

    // Parameters are named $1, $2...: bound by name, so their order in the
    // text does not matter.
    void bind(sqlite3_stmt* statement, std::size_t index, const Value& value) {
        const std::string name = "$" + std::to_string(index + 1);
        const int at = sqlite3_bind_parameter_index(statement, name.c_str());
        if (at == 0) {
            return;
        }
        if (const auto* number = std::get_if<int64_t>(&value)) {
            sqlite3_bind_int64(statement, at, *number);
        } else if (const auto* text = std::get_if<std::string>(&value)) {
            sqlite3_bind_text(statement, at, text->data(), static_cast<int>(text->size()),
                              SQLITE_TRANSIENT);
        } else {
            sqlite3_bind_null(statement, at);
        }
    }

    static Row rowOf(sqlite3_stmt* statement) {
        Row row;
        const int columns = sqlite3_column_count(statement);
        for (int c = 0; c < columns; ++c) {
            if (sqlite3_column_type(statement, c) == SQLITE_NULL) {
                row.emplace_back();
                continue;
            }
            const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(statement, c));
            row.emplace_back(
                std::string(text, static_cast<std::size_t>(sqlite3_column_bytes(statement, c))));
        }
        return row;
    }

    [[noreturn]] void fail(int code) {
        throw DatabaseError(std::string("sqlite: ") + sqlite3_errmsg(db_), isUnavailable(code));
    }

    sqlite3* db_ = nullptr;
    std::map<std::string, sqlite3_stmt*, std::less<>> statements_;
};

} // namespace

std::unique_ptr<Connection> openSqlite(const std::string& path) {
    return std::make_unique<SqliteConnection>(path);
}

} // namespace kestrada::server
