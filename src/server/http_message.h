// SPDX-License-Identifier: GPL-3.0-or-later
// A request and its answer as the routes see them, free of the network
// library: the HTTP layer fills the one and writes the other.
#pragma once

#include <chrono>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace kestrada::server {

struct HttpRequest {
    std::string method;
    std::string path;                          // percent-decoded, without the query
    std::string target;                        // as sent, for the access log
    std::map<std::string, std::string> params; // the query's, decoded; the first of a name
    std::vector<std::pair<std::string, std::string>> headers; // names in lower case
    std::string body;
    std::string peer;   // the socket's address
    std::string client; // whom the limits count: see clientKey
    std::chrono::steady_clock::time_point started;

    bool has(const std::string& name) const { return params.count(name) != 0; }
    std::string param(const std::string& name) const;
    // The first header of that name (given in lower case).
    std::optional<std::string> header(const std::string& lowerName) const;
};

struct HttpResponse {
    int status = 200;
    std::string contentType = "application/json";
    std::string body;
    std::vector<std::pair<std::string, std::string>> headers;
    bool close = false; // the connection ends after this answer
};

// Answers a request once, from any thread.
using Reply = std::function<void(HttpResponse)>;

struct HttpRoutes {
    // Looks at the headers alone, before any body is read; an answer
    // refuses the request there and closes the connection.
    std::function<std::optional<HttpResponse>(const HttpRequest&)> screen;
    // The whole request; `reply` may be called later, from another thread.
    std::function<void(HttpRequest, Reply)> handle;
    // Called once each answer is written (or failed): for the log and the counts.
    std::function<void(const HttpRequest&, int status, std::size_t bytes)> answered;
};

// Splits "a=1&b=x%20y" into decoded pairs ('+' is a space); the first of a name is kept.
std::map<std::string, std::string> parseQuery(std::string_view query);
// Percent-decoding; '+' becomes a space when `plusIsSpace`.
std::string percentDecoded(std::string_view text, bool plusIsSpace);

} // namespace kestrada::server
