// SPDX-License-Identifier: GPL-3.0-or-later
#include "session/number_format.h"

#include <charconv>
#include <cmath>
#include <string_view>

namespace kestrada::session {

namespace {
template <typename T> void appendShortest(std::string& out, T value) {
    // JSON has no infinities or NaN; null keeps the line readable.
    if (!std::isfinite(value)) {
        out += "null";
        return;
    }
    char buffer[32];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    out.append(buffer, result.ptr);
}
} // namespace

void appendFloat(std::string& out, float value) {
    appendShortest(out, value);
}

void appendDouble(std::string& out, double value) {
    appendShortest(out, value);
}

void appendInt(std::string& out, int64_t value) {
    char buffer[24];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    out.append(buffer, result.ptr);
}

void appendBool(std::string& out, bool value) {
    out += value ? "true" : "false";
}

void appendJsonString(std::string& out, std::string_view text) {
    static constexpr char kHex[] = "0123456789abcdef";
    out += '"';
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        switch (c) {
        case '"':
            out += "\\\"";
            break;
        case '\\':
            out += "\\\\";
            break;
        case '\n':
            out += "\\n";
            break;
        case '\r':
            out += "\\r";
            break;
        case '\t':
            out += "\\t";
            break;
        default:
            if (byte < 0x20) {
                out += "\\u00";
                out += kHex[byte >> 4];
                out += kHex[byte & 0xf];
            } else {
                out += c;
            }
        }
    }
    out += '"';
}

} // namespace kestrada::session
