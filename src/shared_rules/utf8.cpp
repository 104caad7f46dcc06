// SPDX-License-Identifier: GPL-3.0-or-later
#include "shared_rules/utf8.h"

namespace kestrada::shared_rules {

std::optional<Utf8Character> utf8CharacterAt(std::string_view text, std::size_t at) {
    const auto byte = [&](std::size_t k) { return static_cast<unsigned char>(text[k]); };
    const unsigned char lead = byte(at);
    if (lead < 0x80) {
        return Utf8Character{lead, 1};
    }
    // The second byte's range rules out overlong forms, surrogates and
    // values past U+10FFFF at once.
    std::size_t length = 0;
    unsigned char low = 0x80;
    unsigned char high = 0xBF;
    char32_t point = 0;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
        point = lead & 0x1F;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        point = lead & 0x0F;
        low = lead == 0xE0 ? 0xA0 : 0x80;
        high = lead == 0xED ? 0x9F : 0xBF;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        point = lead & 0x07;
        low = lead == 0xF0 ? 0x90 : 0x80;
        high = lead == 0xF4 ? 0x8F : 0xBF;
    } else {
        return std::nullopt;
    }
    if (at + length > text.size() || byte(at + 1) < low || byte(at + 1) > high) {
        return std::nullopt;
    }
    for (std::size_t k = at + 1; k < at + length; ++k) {
        if (byte(k) < 0x80 || byte(k) > 0xBF) {
            return std::nullopt;
        }
        point = (point << 6) | (byte(k) & 0x3F);
    }
    return Utf8Character{point, length};
}

bool isValidUtf8(std::string_view text) {
    for (std::size_t at = 0; at < text.size();) {
        const auto character = utf8CharacterAt(text, at);
        if (!character) {
            return false;
        }
        at += character->length;
    }
    return true;
}

std::size_t utf8CharacterCount(std::string_view text) {
    std::size_t count = 0;
    for (const char byte : text) {
        count += startsUtf8Character(byte) ? 1 : 0;
    }
    return count;
}

std::vector<std::string> utf8Characters(std::string_view text) {
    std::vector<std::string> characters;
    for (const char byte : text) {
        if (startsUtf8Character(byte) || characters.empty()) {
            characters.emplace_back();
        }
        characters.back() += byte;
    }
    return characters;
}

std::size_t utf8ByteOffset(std::string_view text, std::size_t character) {
    std::size_t at = 0;
    for (std::size_t seen = 0; at < text.size(); ++at) {
        if (startsUtf8Character(text[at]) && seen++ == character) {
            break;
        }
    }
    return at;
}

void appendUtf8(std::string& out, char32_t point) {
    if (point < 0x80) {
        out += static_cast<char>(point);
    } else if (point < 0x800) {
        out += static_cast<char>(0xC0 | (point >> 6));
        out += static_cast<char>(0x80 | (point & 0x3F));
    } else if (point < 0x10000) {
        out += static_cast<char>(0xE0 | (point >> 12));
        out += static_cast<char>(0x80 | ((point >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (point & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (point >> 18));
        out += static_cast<char>(0x80 | ((point >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((point >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (point & 0x3F));
    }
}

} // namespace kestrada::shared_rules
