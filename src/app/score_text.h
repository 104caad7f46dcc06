// SPDX-License-Identifier: GPL-3.0-or-later
// How a score reads and shows: the first value of the high-score file's
// text, the number at the head of a text, and the decimal text the game
// shows for a number. Where the text comes from is the store's business.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace kestrada {

// The first value of a text: a quoted value without its quotes, or an
// unquoted one up to the first comma or line end. Empty when there is no
// value at all.
std::optional<std::string> firstValueOf(std::string_view text);

// The leading number of a text, 0 when it has none ("12abc" -> 12).
double leadingNumber(std::string_view text);

// The decimal text the game shows for a number: whole numbers without a
// point, at most 15 significant digits, exponent form for very large values.
std::string numberText(double value);

} // namespace kestrada
