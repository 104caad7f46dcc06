// SPDX-License-Identifier: GPL-3.0-or-later
// Whole numbers as the command line and the input file write them: decimal
// digits only (leading zeros allowed), no sign, no spaces, and never a value
// that silently wraps.
#pragma once

#include <cstdint>
#include <string_view>

namespace kestrada::session {

enum class WholeNumberError { None, NotANumber, TooLarge };

struct WholeNumber {
    uint64_t value = 0;
    WholeNumberError error = WholeNumberError::None;
};

// Reads text as a whole number no greater than max.
constexpr WholeNumber parseWholeNumber(std::string_view text, uint64_t max) {
    if (text.empty()) {
        return {0, WholeNumberError::NotANumber};
    }
    uint64_t value = 0;
    bool tooLarge = false;
    for (const char c : text) {
        if (c < '0' || c > '9') {
            return {0, WholeNumberError::NotANumber};
        }
        const auto digit = static_cast<uint64_t>(c - '0');
        // Keep scanning after an overflow so "99x" still reads as not a number.
        if (!tooLarge && (digit > max || value > (max - digit) / 10)) {
            tooLarge = true;
        }
        if (!tooLarge) {
            value = value * 10 + digit;
        }
    }
    if (tooLarge) {
        return {0, WholeNumberError::TooLarge};
    }
    return {value, WholeNumberError::None};
}

} // namespace kestrada::session
