// SPDX-License-Identifier: GPL-3.0-or-later
// A throw-away PostgreSQL cluster for the tests: its own folder, a unix
// socket there and no TCP port, so parallel tests never collide. As root
// it runs as the postgres user, since initdb refuses root.
#pragma once

#include <string>

namespace kestrada::testing {

class PostgresCluster {
  public:
    PostgresCluster();
    ~PostgresCluster();
    PostgresCluster(const PostgresCluster&) = delete;
    PostgresCluster& operator=(const PostgresCluster&) = delete;

    // Why the cluster is not running; empty when it is.
    const std::string& failure() const { return failure_; }
    // A new empty database, as libpq's conninfo.
    std::string freshDatabase();
    bool stop();
    bool start();
    // Sends the signal to the postmaster and every process it started (SIGSTOP
    // makes the database look gone from the network: no refusal, no answer).
    bool signal(int number);

  private:
    // Runs a PostgreSQL program as the cluster's owner; true on exit status 0.
    bool run(const std::string& program, const std::string& arguments);

    std::string folder_;
    std::string bin_;
    std::string failure_;
    int databases_ = 0;
};

} // namespace kestrada::testing
