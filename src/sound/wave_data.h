// SPDX-License-Identifier: GPL-3.0-or-later
// A wave file read once into memory in the one format the sound output
// plays: mono, 16-bit, kOutputRate frames a second.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace kestrada::sound {

inline constexpr int kOutputRate = 44100;

using Samples = std::vector<std::int16_t>;

// Null for a file that is missing, empty, truncated or not a sound file:
// its player then stays silent.
std::shared_ptr<const Samples> readWave(const std::string& path);

} // namespace kestrada::sound
