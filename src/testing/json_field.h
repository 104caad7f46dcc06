// SPDX-License-Identifier: GPL-3.0-or-later
// Reading one value back out of a trace record.
#pragma once

#include <regex>
#include <string>

namespace kestrada::testing {

// The raw JSON text of the first "key": in record (a string, a flat array
// or a scalar), or "<no key>".
inline std::string jsonField(const std::string& record, const std::string& key) {
    const std::regex value("\"" + key + R"(":("(?:[^"\\]|\\.)*"|\[[^\]]*\]|[^,}]*))");
    std::smatch m;
    return std::regex_search(record, m, value) ? m[1].str() : "<no " + key + ">";
}

} // namespace kestrada::testing
