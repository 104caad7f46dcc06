// SPDX-License-Identifier: GPL-3.0-or-later
#include "server/client_address.h"

#include <arpa/inet.h>
#include <cstring>

namespace kestrada::server {

namespace {

constexpr std::size_t kMappedPrefix = 12; // ::ffff:a.b.c.d
constexpr unsigned char kMapped[kMappedPrefix] = {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0xff, 0xff};

std::string_view trimmed(std::string_view text) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) {
        text.remove_prefix(1);
    }
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) {
        text.remove_suffix(1);
    }
    return text;
}

} // namespace

std::optional<std::string> addressKey(std::string_view address) {
    const std::string text(trimmed(address));
    in_addr v4{};
    if (inet_pton(AF_INET, text.c_str(), &v4) == 1) {
        char out[INET_ADDRSTRLEN] = {};
        inet_ntop(AF_INET, &v4, out, sizeof out);
        return std::string(out);
    }
    in6_addr v6{};
    if (inet_pton(AF_INET6, text.c_str(), &v6) != 1) {
        return std::nullopt;
    }
    if (std::memcmp(v6.s6_addr, kMapped, kMappedPrefix) == 0) {
        std::memcpy(&v4, v6.s6_addr + kMappedPrefix, sizeof v4);
        char out[INET_ADDRSTRLEN] = {};
        inet_ntop(AF_INET, &v4, out, sizeof out);
        return std::string(out);
    }
    std::memset(v6.s6_addr + 8, 0, 8);
    char out[INET6_ADDRSTRLEN] = {};
    inet_ntop(AF_INET6, &v6, out, sizeof out);
    return std::string(out) + "/64";
}

std::optional<std::string> forwardedClientKey(std::string_view forwardedFor) {
    const auto comma = forwardedFor.rfind(',');
    const std::string_view last =
        comma == std::string_view::npos ? forwardedFor : forwardedFor.substr(comma + 1);
    return addressKey(last);
}

} // namespace kestrada::server
