// The high-score file: one line holding the score in double quotes.
// Reading is bounded and never throws; writing never leaves a partial file.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace kestrada {

inline constexpr const char* kHighScoreFileName = "Kestrada.txt";

// Creates an empty file when there is none; false when that failed.
bool createIfMissing(const std::filesystem::path& file);

// The first value of the file: a quoted value without its quotes, or an
// unquoted one up to the first comma or line end. Empty when the file is
// missing, unreadable or has no value at all.
std::optional<std::string> readFirstValue(const std::filesystem::path& file);

// Parses the first value out of text already read (at most the file's head).
std::optional<std::string> firstValueOf(std::string_view text);

// The leading number of a text, 0 when it has none ("12abc" -> 12).
double leadingNumber(std::string_view text);

// The decimal text the game shows for a number: whole numbers without a
// point, at most 15 significant digits, exponent form for very large values.
std::string numberText(double value);

// Replaces the file with one line, the caption in quotes. The old file
// stays untouched unless the new one was written completely.
bool writeHighScore(const std::filesystem::path& file, std::string_view caption);

} // namespace kestrada
