// SPDX-License-Identifier: GPL-3.0-or-later
// The game's numeric rules, in one place so every phase computes alike.
//
// Positions and sizes are single precision. A sum, difference or product
// that is compared with a position or stored in one is formed in double and
// rounded once to single: write single(double(a) + b), never float maths.
// Int() rounds down; roundHalfEven() rounds to the nearest whole number,
// halves to even; toInt16() stores a result that is already whole.
#pragma once

#include <cmath>
#include <cstdint>

namespace kestrada {

// Rounds a double-precision result once to single precision.
constexpr float single(double v) {
    return static_cast<float>(v);
}

// Int(): the largest whole number not greater than v.
inline double Int(double v) {
    return std::floor(v);
}

// Rounds to the nearest whole number, halves to even (2.5 -> 2, 3.5 -> 4).
inline double roundHalfEven(double v) {
    double r = std::floor(v + 0.5);
    if (r - v == 0.5 && std::fmod(r, 2.0) != 0.0) {
        r -= 1.0;
    }
    return r;
}

// The square root taken three times: how the spawn odds grow with the score.
// A score pushed below zero by a crash at negative speed counts as zero
// rather than producing no number at all.
inline double eighthRoot(double v) {
    return v > 0 ? std::sqrt(std::sqrt(std::sqrt(v))) : 0.0;
}

// Stores a whole-number result into a 16-bit variable. A result past the
// range wraps around (two's complement) instead of being undefined.
constexpr int16_t toInt16(int v) {
    return static_cast<int16_t>(v);
}

} // namespace kestrada
