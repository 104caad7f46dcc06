// SPDX-License-Identifier: GPL-3.0-or-later
#include "server/name_keys.h"

#include "server/player_name.h"
#include "server/run_store.h"

#include <string>

namespace kestrada::server {

namespace {

// A verified run that no other run of its key beats on the board: the
// higher score, then the earlier run. The road's boards compare runs of
// the same road only.
constexpr const char* kBestOfKey =
    " FROM runs r WHERE r.status = 'verified' AND r.removed = 0 %ROAD% AND NOT EXISTS ("
    "SELECT 1 FROM runs o WHERE o.name_key = r.name_key AND o.status = 'verified'"
    " AND o.removed = 0 %SAME_ROAD% AND (o.score > r.score OR (o.score = r.score AND"
    " (o.submitted_ms < r.submitted_ms OR (o.submitted_ms = r.submitted_ms AND o.id < r.id)))))";

std::string bestOfKey(bool road) {
    std::string sql = kBestOfKey;
    const auto put = [&](const std::string& mark, const std::string& text) {
        sql.replace(sql.find(mark), mark.size(), text);
    };
    put("%ROAD%", road ? "AND r.road_day IS NOT NULL" : "");
    put("%SAME_ROAD%", road ? "AND o.road_day = r.road_day" : "");
    return sql;
}

} // namespace

void refoldNameKeys(Connection& db) {
    for (const Row& row : db.query("SELECT DISTINCT name, name_key FROM runs")) {
        const std::string name = row.at(0).value_or("");
        const NameVerdict verdict = checkPlayerName(name);
        // A name now refused keeps its key: its runs stay where they stood.
        if (verdict.name && verdict.name->key != row.at(1).value_or("")) {
            db.query("UPDATE runs SET name_key = $1 WHERE name = $2", {verdict.name->key, name});
        }
    }
    db.query("DELETE FROM best");
    db.query("INSERT INTO best (board, name_key, run_id, name, score, submitted_ms)"
             " SELECT CAST($1 AS TEXT), r.name_key, r.id, r.name, r.score, r.submitted_ms" +
                 bestOfKey(false),
             {std::string(kAllBoard)});
    db.query("INSERT INTO best (board, name_key, run_id, name, score, submitted_ms)"
             " SELECT CAST($1 AS TEXT) || r.road_day, r.name_key, r.id, r.name, r.score,"
             " r.submitted_ms" +
                 bestOfKey(true),
             {roadBoard("")});
}

} // namespace kestrada::server
