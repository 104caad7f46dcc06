// SPDX-License-Identifier: GPL-3.0-or-later
// The one reader of UTF-8 text: names typed by a player, names sent to the
// server and the lines of an input file are all walked the same way, so the
// game and the server never disagree on what a character is.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kestrada::shared_rules {

struct Utf8Character {
    char32_t point;
    std::size_t length; // bytes
};

// The character starting at text[at], or nothing for a malformed, cut short
// or overlong sequence, a surrogate or a value past U+10FFFF.
std::optional<Utf8Character> utf8CharacterAt(std::string_view text, std::size_t at);

bool isValidUtf8(std::string_view text);

// Whether a byte starts a character (anything but a continuation byte).
constexpr bool startsUtf8Character(char byte) {
    return (static_cast<unsigned char>(byte) & 0xC0) != 0x80;
}

// Counting and splitting by starting bytes, for text already cleaned.
std::size_t utf8CharacterCount(std::string_view text);
std::vector<std::string> utf8Characters(std::string_view text);
// The byte offset of the character-th character, or the text's size.
std::size_t utf8ByteOffset(std::string_view text, std::size_t character);

void appendUtf8(std::string& out, char32_t point);

} // namespace kestrada::shared_rules
