// SPDX-License-Identifier: GPL-3.0-or-later
// Numbers as the trace writes them: the shortest text that reads back to
// exactly the same value, so a trace can be compared byte for byte and a
// reader recovers every position and score without loss.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace kestrada::session {

// Positions are single precision: shortest text that reads back as a float.
void appendFloat(std::string& out, float value);
// The score is double precision: shortest text that reads back as a double.
void appendDouble(std::string& out, double value);
void appendInt(std::string& out, int64_t value);
void appendBool(std::string& out, bool value);
// A JSON string literal, quotes included.
void appendJsonString(std::string& out, std::string_view text);

} // namespace kestrada::session
