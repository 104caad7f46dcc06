// SPDX-License-Identifier: GPL-3.0-or-later
#include "world/world_request.h"

namespace kestrada::session {

std::string percentEncoded(std::string_view text) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string out;
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        const bool plain = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') ||
                           (c >= '0' && c <= '9') || c == '-' || c == '_' || c == '.' || c == '~';
        if (plain) {
            out += c;
        } else {
            out += '%';
            out += kHex[byte >> 4];
            out += kHex[byte & 15];
        }
    }
    return out;
}

std::string fieldOf(const WorldFields& fields, const std::string& key) {
    const auto found = fields.find(key);
    return found == fields.end() ? std::string() : found->second;
}

std::string refusalOf(const WorldReply& reply) {
    for (const char* key : {"reason", "error", "message"}) {
        if (const std::string reason = fieldOf(reply.fields, key); !reason.empty()) {
            return reason;
        }
    }
    if (!reply.text.empty() && reply.text.size() < 200) {
        return reply.text;
    }
    return "the server refused it (" + std::to_string(reply.status) + ")";
}

} // namespace kestrada::session
