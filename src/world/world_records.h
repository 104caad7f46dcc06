// SPDX-License-Identifier: GPL-3.0-or-later
// Where each local hall-of-fame entry stands with the world's server, kept
// in a file of its own beside the hall of fame so that HallOfFame.txt keeps
// its format and an entry's state survives a restart: not sent yet, sent
// and waiting for the server's check, verified with its world rank,
// rejected with the server's reason, or waiting to be sent again.
#pragma once

#include <filesystem>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace kestrada::session {

inline constexpr const char* kWorldRecordsFileName = "HallOfFameWorld.txt";
inline constexpr std::string_view kWorldRecordsHeader = "# kestrada world 1";

enum class WorldState { Unsent, Waiting, Verified, Rejected, Resend };

struct WorldRecord {
    std::string run; // the recording's file name in runs/, the entry's key
    WorldState state = WorldState::Unsent;
    std::string id; // the server's, once it has answered for the run
    int rank = 0;   // on the world's table, once verified
    int attempts = 0;
    std::string name;
    std::string score;  // as claimed: the dashboard's
    std::string reason; // the server's, when it refused the run
    std::string road;   // the day whose road it was played on, YYYY-MM-DD, or empty
    bool operator==(const WorldRecord&) const = default;
};

std::string worldRecordsText(const std::vector<WorldRecord>& records);
// Lines that are not a record are left out: a damaged line costs only itself.
std::vector<WorldRecord> parseWorldRecords(std::string_view text);

std::vector<WorldRecord> readWorldRecords(const std::filesystem::path& folder);
// Under the folder's lock, as the hall of fame is saved: reads the records
// on disk, lets `change` change them, writes them back whole.
bool updateWorldRecords(const std::filesystem::path& folder,
                        const std::function<void(std::vector<WorldRecord>&)>& change);

// "verified, world rank 3", "sent, waiting for the server's check", ...
std::string worldStateText(const WorldRecord& record);

} // namespace kestrada::session
