// SPDX-License-Identifier: GPL-3.0-or-later
// The trace's own number formatter against the standard library's
// std::to_chars, which it must match character for character: a trace
// written by a build without a floating-point to_chars is compared byte for
// byte with one written here.
#include "session/number_format.h"

#include <bit>
#include <charconv>
#include <cmath>
#include <gtest/gtest.h>
#include <limits>
#include <random>
#include <vector>

namespace {

using kestrada::session::appendDouble;
using kestrada::session::appendFloat;

template <typename T> std::string standard(T value) {
    char buffer[64];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    return std::string(buffer, result.ptr);
}

template <typename T> std::string ours(T value) {
    std::string out;
    if constexpr (std::is_same_v<T, float>) {
        appendFloat(out, value);
    } else {
        appendDouble(out, value);
    }
    return out;
}

// Values where the layout or the digit search changes: powers of two (a
// lopsided interval), powers of ten, the plain/scientific switch-over,
// whole numbers past the precision, subnormals and the extremes.
template <typename T> std::vector<T> boundaryValues() {
    using limits = std::numeric_limits<T>;
    std::vector<T> values = {limits::min(), limits::max(), limits::denorm_min(), limits::epsilon(),
                             static_cast<T>(0.1) + static_cast<T>(0.2)};
    for (int e = limits::min_exponent - limits::digits; e <= limits::max_exponent; ++e) {
        const T power = std::ldexp(static_cast<T>(1), e);
        values.push_back(power);
        values.push_back(std::nextafter(power, static_cast<T>(0)));
        values.push_back(std::nextafter(power, limits::infinity()));
    }
    for (int e = -45; e <= 38; ++e) {
        const T power = static_cast<T>(std::pow(10.0L, e));
        values.push_back(power);
        values.push_back(std::nextafter(power, static_cast<T>(0)));
        values.push_back(std::nextafter(power, limits::infinity()));
        values.push_back(power * static_cast<T>(123));
        values.push_back(power * static_cast<T>(1.5));
    }
    return values;
}

template <typename T, typename Bits> void expectSameAsStandard(uint64_t seed) {
    std::vector<T> values = boundaryValues<T>();
    std::mt19937_64 random(seed);
    for (int i = 0; i < 50000; ++i) {
        values.push_back(std::bit_cast<T>(static_cast<Bits>(random())));
    }
    // Numbers of the kind a game has: positions in quarter pixels, scores.
    for (int i = 0; i < 20000; ++i) {
        values.push_back(static_cast<T>(static_cast<int>(random() % 4000) - 2000) / 4);
        values.push_back(static_cast<T>(random() % 100000000) / 7);
    }
    int mismatches = 0;
    for (const T value : values) {
        // Infinities and NaN are the trace's null, not a number to match.
        if (!std::isfinite(value)) {
            continue;
        }
        for (const T signedValue : {value, -value}) {
            const std::string expected = standard(signedValue);
            const std::string actual = ours(signedValue);
            if (expected != actual && ++mismatches <= 10) {
                ADD_FAILURE() << "to_chars " << expected << ", ours " << actual;
            }
        }
    }
    EXPECT_EQ(mismatches, 0);
}

TEST(NumberFormat, DoublesMatchToCharsDigitForDigit) {
    expectSameAsStandard<double, uint64_t>(2026);
}

TEST(NumberFormat, FloatsMatchToCharsDigitForDigit) {
    expectSameAsStandard<float, uint32_t>(1999);
}

TEST(NumberFormat, ZeroKeepsItsSign) {
    EXPECT_EQ(ours(0.0), "0");
    EXPECT_EQ(ours(-0.0f), "-0");
}

} // namespace
