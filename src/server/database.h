// SPDX-License-Identifier: GPL-3.0-or-later
// One connection to the hall of fame's database, SQLite or PostgreSQL,
// behind the few calls the store needs: statements written once with $1..
// parameters run on either.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace kestrada::server {

enum class Dialect { Sqlite, Postgres };

using Value = std::variant<std::monostate, int64_t, std::string>;
using Params = std::vector<Value>;
using Row = std::vector<std::optional<std::string>>;

// A statement that failed. `unavailable` when the database cannot be
// reached or written at all (a 503 that heals by itself), `retry` when the
// same transaction may succeed if run again.
class DatabaseError : public std::runtime_error {
  public:
    DatabaseError(const std::string& what, bool unavailable, bool retry = false)
        : std::runtime_error(what), unavailable_(unavailable), retry_(retry) {}
    bool unavailable() const { return unavailable_; }
    bool retry() const { return retry_; }

  private:
    bool unavailable_;
    bool retry_;
};

class Connection {
  public:
    virtual ~Connection() = default;
    virtual Dialect dialect() const = 0;
    // Runs one statement; the rows it returns (RETURNING included).
    virtual std::vector<Row> query(std::string_view sql, const Params& params = {}) = 0;
    // Whether the connection can still be used after an error.
    virtual bool healthy() const = 0;
};

// "sqlite:PATH" or "postgresql:CONNINFO".
struct DatabaseAddress {
    Dialect dialect = Dialect::Sqlite;
    std::string where;
};
std::optional<DatabaseAddress> parseDatabaseAddress(std::string_view text);

std::unique_ptr<Connection> openConnection(const DatabaseAddress& address);
std::unique_ptr<Connection> openSqlite(const std::string& path);
std::unique_ptr<Connection> openPostgres(const std::string& conninfo);

// Connections kept for reuse, one per thread at a time; a broken one is
// dropped, so the next borrower opens a fresh one (a restarted database
// is found again without restarting the server).
class ConnectionPool {
  public:
    using Opener = std::function<std::unique_ptr<Connection>()>;
    explicit ConnectionPool(Opener opener) : opener_(std::move(opener)) {}

    class Lease {
      public:
        Lease(ConnectionPool& pool, std::unique_ptr<Connection> connection)
            : pool_(pool), connection_(std::move(connection)) {}
        Lease(const Lease&) = delete;
        Lease& operator=(const Lease&) = delete;
        ~Lease() { pool_.giveBack(std::move(connection_)); }
        Connection& operator*() const { return *connection_; }
        Connection* operator->() const { return connection_.get(); }

      private:
        ConnectionPool& pool_;
        std::unique_ptr<Connection> connection_;
    };

    Lease borrow();

  private:
    void giveBack(std::unique_ptr<Connection> connection);

    Opener opener_;
    std::mutex mutex_;
    std::vector<std::unique_ptr<Connection>> idle_;
};

// Runs `work` inside one transaction (BEGIN IMMEDIATE on SQLite, whose one
// writer is then taken up front), again from the start when the database
// asks for a retry, a few times at most.
void inTransaction(Connection& connection, const std::function<void()>& work);

int64_t integerOf(const std::optional<std::string>& text);

} // namespace kestrada::server
