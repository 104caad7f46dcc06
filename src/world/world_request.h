// SPDX-License-Identifier: GPL-3.0-or-later
// What the game asks of the world's server and what came back, as plain
// data: each front end carries a request over its own network (Qt Network
// in the window, fetch on the page) and hands back the raw reply, which
// server_reply.h reads into text fields.
#pragma once

#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kestrada::session {

struct WorldRequest {
    // Road: the day's road for its board; Seed: the same, to play it;
    // Best: where a verified run's name stands, when that run is not its best;
    // Leader: today's road's top row, then its run, to race.
    enum class Purpose { Submit, Check, Board, Road, Recording, Seed, Best, Leader };
    Purpose purpose = Purpose::Board;
    std::string method = "GET";
    std::string target; // path and query from the server's root: "/api/road"
    std::string body;   // the run file, sent as text/plain
    std::string run;    // the local entry it is for
    // Which opening of a world view asked: a late answer to a view since
    // left or asked again is dropped.
    unsigned token = 0;
};

using WorldFields = std::map<std::string, std::string>;

struct WorldReply {
    int status = 0; // 0: no answer (refused, cut, or silent past the front end's limit)
    std::optional<double> retryAfterSeconds;
    WorldFields fields;               // the JSON object's scalars, as text
    std::vector<WorldFields> entries; // its "entries" list
    std::string text;                 // the body, when it is not JSON (a recording)
};

// A value made safe in a URL's query.
std::string percentEncoded(std::string_view text);

// The field's text, or an empty one.
std::string fieldOf(const WorldFields& fields, const std::string& key);

// The server folds case: "ANN" is Ann. What is not an ASCII letter is
// compared as it is, tidied as the table tidies a name.
bool sameName(std::string_view a, std::string_view b);

// The plain-words reason a server gave for a refusal.
std::string refusalOf(const WorldReply& reply);

} // namespace kestrada::session
