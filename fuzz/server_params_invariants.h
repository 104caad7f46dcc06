// SPDX-License-Identifier: GPL-3.0-or-later
// What must hold for any bytes a client sends the server as a name, a
// claimed score, a date or a run file. Shared by the fuzz target and the
// corpus replay test.
#pragma once

#include "server/player_name.h"
#include "server/run_intake.h"
#include "server/utc_time.h"

#include <nlohmann/json.hpp>
#include <string>
#include <string_view>

namespace kestrada::fuzzing {

namespace detail {

// Code points a name must never carry: controls, bidi controls, zero-width
// characters, the byte-order mark.
inline bool forbiddenInName(std::string_view shown) {
    for (const std::string_view bad :
         {"\u200b", "\u200c", "\u200d", "\u200e", "\u200f", "\u202a", "\u202b", "\u202c", "\u202d",
          "\u202e", "\u2066", "\u2067", "\u2068", "\u2069", "\ufeff", "\u00a0"}) {
        if (shown.find(bad) != std::string_view::npos) {
            return true;
        }
    }
    for (char c : shown) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x20 || byte == 0x7f) {
            return true;
        }
    }
    return false;
}

inline std::string nameFault(std::string_view raw) {
    const auto name = server::checkPlayerName(raw).name;
    if (!name) {
        return "";
    }
    if (name->shown.empty() || name->shown.front() == ' ' || name->shown.back() == ' ' ||
        name->shown.find("  ") != std::string::npos) {
        return "name not trimmed: " + name->shown;
    }
    if (forbiddenInName(name->shown)) {
        return "a forbidden character kept in " + name->shown;
    }
    const auto again = server::checkPlayerName(name->shown).name;
    if (!again || again->shown != name->shown || again->key != name->key) {
        return "cleaning a clean name changed it: " + name->shown;
    }
    try {
        // Every name goes out in JSON, whose writer throws on bad UTF-8.
        (void)nlohmann::json(name->shown).dump();
    } catch (const std::exception&) {
        return "a name that is not UTF-8";
    }
    return "";
}

} // namespace detail

inline std::string serverParamsFault(std::string_view bytes) {
    if (std::string fault = detail::nameFault(bytes); !fault.empty()) {
        return fault;
    }
    const auto score = server::parseClaimedScore(bytes);
    if (score && (*score < 0 || std::to_string(*score) != bytes)) {
        return "a claim read as " + std::to_string(*score);
    }
    if (server::isUtcDay(bytes) && bytes.size() != 10) {
        return "a day of the wrong length";
    }
    const server::RunIntake intake = server::checkRunFile(bytes);
    if (intake.status != 0 && intake.status != 400 && intake.status != 413 &&
        intake.status != 422) {
        return "a run refused with " + std::to_string(intake.status);
    }
    if (intake.status == 0 && !bytes.starts_with("# kestrada ")) {
        return "a run without its header taken";
    }
    return "";
}

} // namespace kestrada::fuzzing
