// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/score_text.h"

#include <cctype>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace kestrada {

namespace {
bool isBlank(char c) {
    return c == ' ' || c == '\t';
}
bool isLineEnd(char c) {
    return c == '\r' || c == '\n';
}
} // namespace

std::optional<std::string> firstValueOf(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size() && isBlank(text[i])) {
        ++i;
    }
    if (i == text.size()) {
        return std::nullopt; // nothing to read: the game treats it as an error
    }
    if (text[i] == '"') {
        const auto close = text.find('"', i + 1);
        return std::string(text.substr(
            i + 1, close == std::string_view::npos ? std::string_view::npos : close - i - 1));
    }
    std::size_t end = i;
    while (end < text.size() && text[end] != ',' && !isLineEnd(text[end])) {
        ++end;
    }
    while (end > i && isBlank(text[end - 1])) {
        --end;
    }
    return std::string(text.substr(i, end - i));
}

double leadingNumber(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size() && isBlank(text[i])) {
        ++i;
    }
    std::string number;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        number += text[i++];
    }
    bool digits = false;
    while (i < text.size() && std::isdigit(static_cast<unsigned char>(text[i]))) {
        number += text[i++];
        digits = true;
    }
    if (i < text.size() && text[i] == '.') {
        number += text[i++];
        while (i < text.size() && std::isdigit(static_cast<unsigned char>(text[i]))) {
            number += text[i++];
            digits = true;
        }
    }
    if (!digits) {
        return 0;
    }
    if (i + 1 < text.size() && (text[i] == 'e' || text[i] == 'E')) {
        std::size_t j = i + 1;
        std::string exponent = "e";
        if (text[j] == '+' || text[j] == '-') {
            exponent += text[j++];
        }
        bool expDigits = false;
        while (j < text.size() && std::isdigit(static_cast<unsigned char>(text[j])) &&
               exponent.size() < 8) {
            exponent += text[j++];
            expDigits = true;
        }
        if (expDigits) {
            number += exponent;
        }
    }
    const double value = std::strtod(number.c_str(), nullptr);
    return std::isfinite(value) ? value : 0;
}

std::string numberText(double value) {
    if (value == 0 || !std::isfinite(value)) {
        return "0";
    }
    char buffer[64];
    // The score label is written every tick: whole numbers, by far the most
    // common case, skip the general formatter.
    if (value == std::floor(value) && std::fabs(value) < 1e15) {
        const auto end = std::to_chars(buffer, buffer + sizeof buffer, static_cast<int64_t>(value));
        return std::string(buffer, end.ptr);
    }
    std::snprintf(buffer, sizeof buffer, "%.15G", value);
    return buffer;
}

} // namespace kestrada
