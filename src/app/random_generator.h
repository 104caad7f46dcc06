// SPDX-License-Identifier: GPL-3.0-or-later
// The game's one random generator: Mersenne Twister draws mapped to floats in
// [0, 1) by hand, because standard distributions differ between library
// implementations and a replay must give the same game everywhere.
#pragma once

#include <cstdint>
#include <random>

namespace kestrada {

class RandomGenerator {
  public:
    void seed(uint32_t s) { engine_.seed(s); }

    // Uniform in [0, 1): the top 24 bits of a draw, exactly representable.
    float next() { return static_cast<float>(engine_() >> 8) * (1.0f / 16777216.0f); }

    bool operator==(const RandomGenerator&) const = default;

  private:
    std::mt19937 engine_{5489u};
};

} // namespace kestrada
