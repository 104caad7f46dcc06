// SPDX-License-Identifier: GPL-3.0-or-later
#include "shared_rules/names.h"

#include "shared_rules/utf8.h"

#include <initializer_list>

namespace kestrada::shared_rules {

namespace {

struct Range {
    char32_t first;
    char32_t last;
};

bool inAny(char32_t c, std::initializer_list<Range> ranges) {
    for (const Range& range : ranges) {
        if (c >= range.first && c <= range.last) {
            return true;
        }
    }
    return false;
}

bool isControl(char32_t c) {
    // C0, DEL and C1, and the line and paragraph separators.
    return inAny(c, {{0x00, 0x1F}, {0x7F, 0x9F}, {0x2028, 0x2029}});
}

bool isTextDirection(char32_t c) {
    // The Arabic letter mark, the marks, embeddings, overrides and isolates.
    return inAny(c, {{0x061C, 0x061C}, {0x200E, 0x200F}, {0x202A, 0x202E}, {0x2066, 0x2069}});
}

// Characters that show nothing: the default ignorable ones (zero-width
// spaces and joiners, fillers, variation selectors, tags), and those that
// show differently on every screen (private use, noncharacters).
bool isInvisible(char32_t c) {
    if ((c & 0xFFFE) == 0xFFFE) {
        return true; // U+FFFE, U+FFFF and their like in every plane
    }
    return inAny(c, {{0x00AD, 0x00AD},
                     {0x034F, 0x034F},
                     {0x115F, 0x1160},
                     {0x17B4, 0x17B5},
                     {0x180B, 0x180F},
                     {0x200B, 0x200D},
                     {0x2060, 0x2065},
                     {0x206A, 0x206F},
                     {0x3164, 0x3164},
                     {0xE000, 0xF8FF},
                     {0xFDD0, 0xFDEF},
                     {0xFE00, 0xFE0F},
                     {0xFEFF, 0xFEFF},
                     {0xFFA0, 0xFFA0},
                     {0xFFF0, 0xFFF8},
                     {0x1BCA0, 0x1BCA3},
                     {0x1D173, 0x1D17A},
                     {0xE0000, 0xE0FFF},
                     {0xF0000, 0x10FFFF}});
}

} // namespace

bool isNameSpace(char32_t c) {
    return inAny(c, {{0x0020, 0x0020},
                     {0x00A0, 0x00A0},
                     {0x1680, 0x1680},
                     {0x2000, 0x200A},
                     {0x202F, 0x202F},
                     {0x205F, 0x205F},
                     {0x3000, 0x3000}});
}

NameProblem characterProblem(char32_t c) {
    if (isControl(c)) {
        return NameProblem::Control;
    }
    if (isTextDirection(c)) {
        return NameProblem::TextDirection;
    }
    if (isInvisible(c)) {
        return NameProblem::Invisible;
    }
    return NameProblem::None;
}

std::optional<char32_t> nameCharacter(char32_t c) {
    if (isNameSpace(c)) {
        return U' ';
    }
    if (characterProblem(c) != NameProblem::None) {
        return std::nullopt;
    }
    return c;
}

NameCheck checkName(std::string_view raw) {
    NameCheck check;
    std::size_t characters = 0;
    bool spaceWaiting = false;
    for (std::size_t at = 0; at < raw.size();) {
        const auto character = utf8CharacterAt(raw, at);
        if (!character) {
            return {{}, NameProblem::NotText};
        }
        at += character->length;
        if (isNameSpace(character->point)) {
            spaceWaiting = !check.shown.empty();
            continue;
        }
        if (const NameProblem problem = characterProblem(character->point);
            problem != NameProblem::None) {
            return {{}, problem};
        }
        if (spaceWaiting) {
            check.shown += ' ';
            ++characters;
            spaceWaiting = false;
        }
        appendUtf8(check.shown, character->point);
        ++characters;
    }
    if (check.shown.empty()) {
        check.problem = NameProblem::Blank;
    } else if (characters > kMaxNameCharacters) {
        check.problem = NameProblem::TooLong;
    }
    return check;
}

std::string nameProblemText(NameProblem problem) {
    switch (problem) {
    case NameProblem::None:
        break;
    case NameProblem::NotText:
        return "the name is not readable text";
    case NameProblem::Blank:
        return "the name is blank";
    case NameProblem::TooLong:
        return "a name is at most " + std::to_string(kMaxNameCharacters) + " characters";
    case NameProblem::Control:
        return "a name cannot hold control characters";
    case NameProblem::Invisible:
        return "a name cannot hold invisible characters";
    case NameProblem::TextDirection:
        return "a name cannot hold text-direction marks";
    }
    return {};
}

} // namespace kestrada::shared_rules
