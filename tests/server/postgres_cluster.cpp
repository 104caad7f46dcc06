// SPDX-License-Identifier: GPL-3.0-or-later
#include "postgres_cluster.h"

#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <unistd.h>

namespace kestrada::testing {

namespace fs = std::filesystem;

namespace {

std::string binFolder() {
    std::error_code ec;
    for (const auto& version : fs::directory_iterator("/usr/lib/postgresql", ec)) {
        if (fs::exists(version.path() / "bin/initdb")) {
            return (version.path() / "bin").string();
        }
    }
    return {};
}

} // namespace

PostgresCluster::PostgresCluster() : bin_(binFolder()) {
    if (bin_.empty()) {
        failure_ = "PostgreSQL's server programs are not installed";
        return;
    }
    // Short: a socket's path is at most 107 bytes.
    std::string name = "/tmp/kpg.XXXXXX";
    if (mkdtemp(name.data()) == nullptr) {
        failure_ = "no scratch folder";
        return;
    }
    folder_ = name;
    if (geteuid() == 0 && std::system(("chown postgres: " + folder_).c_str()) != 0) {
        failure_ = "cannot give the folder to the postgres user";
        return;
    }
    if (!run("initdb", "-D " + folder_ + "/data -A trust -U postgres -E UTF8 --no-locale")) {
        failure_ = "initdb failed (see " + folder_ + "/log)";
        return;
    }
    if (!start()) {
        failure_ = "the cluster did not start (see " + folder_ + "/log)";
    }
}

PostgresCluster::~PostgresCluster() {
    if (!folder_.empty()) {
        run("pg_ctl", "-D " + folder_ + "/data -m immediate stop");
        std::error_code ec;
        fs::remove_all(folder_, ec);
    }
}

bool PostgresCluster::run(const std::string& program, const std::string& arguments) {
    const std::string asOwner = geteuid() == 0 ? "runuser -u postgres -- " : "";
    const std::string command =
        asOwner + bin_ + "/" + program + " " + arguments + " >>" + folder_ + "/log 2>&1";
    return std::system(command.c_str()) == 0;
}

bool PostgresCluster::start() {
    return run("pg_ctl", "-D " + folder_ + "/data -w -l " + folder_ +
                             "/server.log -o \"-c listen_addresses='' -k " + folder_ +
                             " -c fsync=off -c max_connections=200\" start");
}

bool PostgresCluster::signal(int number) {
    std::ifstream pidFile(folder_ + "/data/postmaster.pid");
    pid_t postmaster = 0;
    if (!(pidFile >> postmaster) || postmaster <= 0 || kill(postmaster, number) != 0) {
        return false;
    }
    for (const auto& entry : std::filesystem::directory_iterator("/proc")) {
        std::ifstream stat(entry.path() / "stat");
        std::string pid;
        std::string name;
        std::string state;
        pid_t parent = 0;
        if (stat >> pid >> name >> state >> parent && parent == postmaster) {
            kill(std::stoi(pid), number);
        }
    }
    return true;
}

bool PostgresCluster::stop() {
    return run("pg_ctl", "-D " + folder_ + "/data -w -m fast stop");
}

std::string PostgresCluster::freshDatabase() {
    const std::string name = "t" + std::to_string(++databases_);
    if (!run("createdb", "-h " + folder_ + " -U postgres " + name)) {
        return {};
    }
    return "host=" + folder_ + " user=postgres dbname=" + name;
}

} // namespace kestrada::testing
