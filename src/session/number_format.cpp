// SPDX-License-Identifier: GPL-3.0-or-later
#include "session/number_format.h"

#include <array>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <optional>
#include <string_view>
#include <type_traits>

namespace kestrada::session {

namespace {

// The shortest text that reads back to the same value, laid out as
// std::to_chars lays it out: plain or scientific, whichever is shorter, plain
// on a tie. Built on the C library's correctly rounded printf and strtod
// rather than on to_chars, which not every standard library has for floating
// point; the same code runs on every platform, so every build writes the same
// bytes.

// A decimal d.ddd x 10^exponent, digits without sign or point.
struct Decimal {
    std::string digits;
    int exponent = 0;
};

template <typename T> T readBack(const char* text) {
    if constexpr (std::is_same_v<T, float>) {
        return std::strtof(text, nullptr);
    } else {
        return std::strtod(text, nullptr);
    }
}

template <typename T> bool readsBackAs(const Decimal& decimal, T value) {
    // The digits as a whole number, the exponent moved to match.
    const auto shift = static_cast<int>(decimal.digits.size()) - 1;
    std::string text = decimal.digits;
    text += 'e';
    text += std::to_string(decimal.exponent - shift);
    return readBack<T>(text.c_str()) == value;
}

// The value rounded to `count` significant digits, correctly (printf's %e).
Decimal rounded(double value, int count) {
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.*e", count - 1, value);
    Decimal decimal;
    const char* p = buffer;
    for (; *p != 'e'; ++p) {
        if (*p != '.') {
            decimal.digits += *p;
        }
    }
    decimal.exponent = std::atoi(p + 1);
    return decimal;
}

// The next decimal of the same number of digits above or below.
Decimal stepped(Decimal decimal, bool up) {
    std::string& d = decimal.digits;
    const std::size_t count = d.size();
    const char edge = up ? '9' : '0';
    std::size_t i = count;
    while (i > 0 && d[i - 1] == edge) {
        d[i - 1] = up ? '0' : '9';
        --i;
    }
    if (i > 0) {
        d[i - 1] = static_cast<char>(d[i - 1] + (up ? 1 : -1));
    }
    if (up && i == 0) {
        // 9.99 -> 10.0: one more power of ten, same number of digits.
        d = "1" + std::string(count - 1, '0');
        ++decimal.exponent;
    } else if (!up && d[0] == '0') {
        // 1.00 -> 0.999: one fewer power of ten.
        d = d.substr(1) + "9";
        --decimal.exponent;
    }
    return decimal;
}

// A decimal of `count` digits that reads back as the value, the nearest one
// when several do; none when no decimal of that length does. The nearest
// decimal can miss the interval that reads back where that interval is
// lopsided (at a power of two), while its neighbour on the far side is in it.
std::optional<Decimal> shortestOfLength(double value, int count, auto check) {
    const Decimal nearest = rounded(value, count);
    if (check(nearest)) {
        return nearest;
    }
    for (const bool up : {true, false}) {
        const Decimal neighbour = stepped(nearest, up);
        if (check(neighbour)) {
            return neighbour;
        }
    }
    return std::nullopt;
}

// The fewest digits that read back; a decimal that reads back with n digits
// also does with n + 1 (append a zero), so the length can be searched.
template <typename T> Decimal shortestDecimal(T value) {
    const auto check = [value](const Decimal& d) { return readsBackAs(d, value); };
    int low = 1;
    int high = std::numeric_limits<T>::max_digits10;
    std::optional<Decimal> best = shortestOfLength(value, high, check);
    while (low < high) {
        const int middle = (low + high) / 2;
        if (auto found = shortestOfLength(value, middle, check)) {
            best = std::move(found);
            high = middle;
        } else {
            low = middle + 1;
        }
    }
    std::string& digits = best->digits;
    while (digits.size() > 1 && digits.back() == '0') {
        digits.pop_back();
    }
    return *best;
}

std::size_t scientificLength(const Decimal& d) {
    const int magnitude = d.exponent < 0 ? -d.exponent : d.exponent;
    const std::size_t exponentDigits = magnitude >= 100 ? 3 : 2;
    const std::size_t point = d.digits.size() > 1 ? 1 : 0;
    return d.digits.size() + point + 2 + exponentDigits;
}

std::size_t plainLength(const Decimal& d) {
    const auto count = static_cast<int>(d.digits.size());
    if (d.exponent >= count - 1) {
        return static_cast<std::size_t>(d.exponent) + 1;
    }
    if (d.exponent >= 0) {
        return d.digits.size() + 1;
    }
    return d.digits.size() + 1 + static_cast<std::size_t>(-d.exponent);
}

void appendScientific(std::string& out, const Decimal& d) {
    out += d.digits[0];
    if (d.digits.size() > 1) {
        out += '.';
        out.append(d.digits, 1);
    }
    out += d.exponent < 0 ? "e-" : "e+";
    const int magnitude = d.exponent < 0 ? -d.exponent : d.exponent;
    if (magnitude < 10) {
        out += '0';
    }
    out += std::to_string(magnitude);
}

void appendPlain(std::string& out, const Decimal& d, double value) {
    const auto count = static_cast<int>(d.digits.size());
    if (d.exponent >= count - 1) {
        // A whole number is written exactly, as printf would, not as the
        // short digits padded with zeros.
        char buffer[400];
        std::snprintf(buffer, sizeof buffer, "%.0f", value);
        out += buffer;
        return;
    }
    if (d.exponent >= 0) {
        const auto point = static_cast<std::size_t>(d.exponent) + 1;
        out.append(d.digits, 0, point);
        out += '.';
        out.append(d.digits, point);
        return;
    }
    out += "0.";
    out.append(static_cast<std::size_t>(-d.exponent - 1), '0');
    out += d.digits;
}

template <typename T> void appendShortestUncached(std::string& out, T value) {
    if (std::signbit(value)) {
        out += '-';
        value = -value;
    }
    if (value == 0) {
        out += '0';
        return;
    }
    const Decimal decimal = shortestDecimal(value);
    if (plainLength(decimal) <= scientificLength(decimal)) {
        appendPlain(out, decimal, static_cast<double>(value));
    } else {
        appendScientific(out, decimal);
    }
}

// The search above costs a few microseconds a number, and a trace writes the
// same positions slot after slot: the last text of each of a few thousand
// values is kept, keyed by the value's bits.
template <typename T> class RecentTexts {
  public:
    using Bits = std::conditional_t<sizeof(T) == 4, uint32_t, uint64_t>;

    void append(std::string& out, T value) {
        // memcpy, not std::bit_cast: Emscripten 3.1.6's library lacks it.
        Bits bits = 0;
        std::memcpy(&bits, &value, sizeof bits);
        Entry& entry = entries_[slotOf(bits)];
        if (!entry.used || entry.bits != bits) {
            entry.text.clear();
            appendShortestUncached(entry.text, value);
            entry.bits = bits;
            entry.used = true;
        }
        out += entry.text;
    }

  private:
    struct Entry {
        Bits bits = 0;
        bool used = false;
        std::string text;
    };
    static constexpr int kSlotBits = 12;

    static std::size_t slotOf(Bits bits) {
        const uint64_t mixed = static_cast<uint64_t>(bits) * 0x9e3779b97f4a7c15ULL;
        return static_cast<std::size_t>(mixed >> (64 - kSlotBits));
    }

    std::array<Entry, std::size_t{1} << kSlotBits> entries_;
};

template <typename T> void appendShortest(std::string& out, T value) {
    // JSON has no infinities or NaN; null keeps the line readable.
    if (!std::isfinite(value)) {
        out += "null";
        return;
    }
    static RecentTexts<T> recent;
    recent.append(out, value);
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
