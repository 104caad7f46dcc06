// SPDX-License-Identifier: GPL-3.0-or-later
// Reading one value back out of a trace record.
#pragma once

#include <string>

namespace kestrada::testing {

// The raw JSON text of the first "key": in record, or "<no key>".
inline std::string jsonField(const std::string& record, const std::string& key) {
    const std::string needle = "\"" + key + "\":";
    const auto at = record.find(needle);
    if (at == std::string::npos) {
        return "<no " + key + ">";
    }
    const std::size_t start = at + needle.size();
    std::size_t i = start;
    int depth = 0;
    for (bool inString = false; i < record.size(); ++i) {
        const char c = record[i];
        if (inString) {
            i += c == '\\' ? 1 : 0;
            inString = c != '"';
        } else if (c == '"') {
            inString = true;
        } else if (c == '[' || c == '{') {
            ++depth;
        } else if ((c == ']' || c == '}') && depth > 0) {
            --depth;
        } else if ((c == ',' || c == '}') && depth == 0) {
            break;
        }
    }
    return record.substr(start, i - start);
}

} // namespace kestrada::testing
