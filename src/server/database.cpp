// SPDX-License-Identifier: GPL-3.0-or-later
#include "server/database.h"

#include <charconv>
#include <thread>

namespace kestrada::server {

std::optional<DatabaseAddress> parseDatabaseAddress(std::string_view text) {
    constexpr std::string_view sqlite = "sqlite:";
    constexpr std::string_view postgres = "postgresql:";
    if (text.starts_with(sqlite) && text.size() > sqlite.size()) {
        return DatabaseAddress{Dialect::Sqlite, std::string(text.substr(sqlite.size()))};
    }
    if (text.starts_with(postgres)) {
        return DatabaseAddress{Dialect::Postgres, std::string(text.substr(postgres.size()))};
    }
    return std::nullopt;
}

std::unique_ptr<Connection> openConnection(const DatabaseAddress& address) {
    return address.dialect == Dialect::Sqlite ? openSqlite(address.where)
                                              : openPostgres(address.where);
}

ConnectionPool::Lease ConnectionPool::borrow() {
    {
        std::lock_guard lock(mutex_);
        if (!idle_.empty()) {
            auto connection = std::move(idle_.back());
            idle_.pop_back();
            return Lease(*this, std::move(connection));
        }
    }
    return Lease(*this, opener_());
}

void ConnectionPool::giveBack(std::unique_ptr<Connection> connection) {
    if (!connection || !connection->healthy()) {
        return;
    }
    std::lock_guard lock(mutex_);
    idle_.push_back(std::move(connection));
}

void inTransaction(Connection& connection, const std::function<void()>& work) {
    const char* begin = connection.dialect() == Dialect::Sqlite ? "BEGIN IMMEDIATE" : "BEGIN";
    constexpr int kTries = 5;
    for (int attempt = 1;; ++attempt) {
        connection.query(begin);
        try {
            work();
            connection.query("COMMIT");
            return;
        } catch (const DatabaseError& error) {
            if (connection.healthy()) {
                connection.query("ROLLBACK");
            }
            if (!error.retry() || attempt == kTries) {
                throw;
            }
        } catch (...) {
            if (connection.healthy()) {
                connection.query("ROLLBACK");
            }
            throw;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(5 * attempt));
    }
}

int64_t integerOf(const std::optional<std::string>& text) {
    int64_t value = 0;
    if (text) {
        std::from_chars(text->data(), text->data() + text->size(), value);
    }
    return value;
}

} // namespace kestrada::server
