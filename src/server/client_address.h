// SPDX-License-Identifier: GPL-3.0-or-later
// Whom the limits count. One IPv6 subscriber holds a whole /64, so an
// IPv6 address counts by its first 64 bits; behind the operator's own
// reverse proxy the client is the last hop the proxy added.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace kestrada::server {

// "192.0.2.7" as it is, "2001:db8:1:2:3:4:5:6" as "2001:db8:1:2::/64", an
// IPv4-mapped IPv6 address as its IPv4; nullopt for no address at all.
std::optional<std::string> addressKey(std::string_view address);

// The last address of an X-Forwarded-For list, as a key; nullopt when it
// is not an address.
std::optional<std::string> forwardedClientKey(std::string_view forwardedFor);

} // namespace kestrada::server
