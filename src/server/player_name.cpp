// SPDX-License-Identifier: GPL-3.0-or-later
#include "server/player_name.h"

#include "shared_rules/utf8.h"

#include <vector>

namespace kestrada::server {

namespace {

bool isPunctuation(char32_t c) {
    return c == '-' || c == '_' || c == '.' || c == '\'' || c == '!';
}

// Latin, Greek and Cyrillic letters, the digits and the punctuation above:
// scripts whose look-alikes the key below folds. Everything else, format
// and control characters first of all, is refused.
bool isAllowed(char32_t c) {
    if ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9')) {
        return true;
    }
    if (c >= 0xc0 && c <= 0x24f) {
        return c != 0xd7 && c != 0xf7; // the multiplication and division signs
    }
    if (c >= 0x386 && c <= 0x3ce) {
        return c != 0x387 && c != 0x38b && c != 0x38d && c != 0x3a2;
    }
    if (c >= 0x400 && c <= 0x45f) {
        return true;
    }
    return isPunctuation(c);
}

char32_t lowered(char32_t c) {
    if ((c >= 'A' && c <= 'Z') || (c >= 0xc0 && c <= 0xde && c != 0xd7)) {
        return c + 0x20;
    }
    if (c >= 0x391 && c <= 0x3ab) {
        return c + 0x20;
    }
    if (c >= 0x410 && c <= 0x42f) {
        return c + 0x20;
    }
    if (c >= 0x400 && c <= 0x40f) {
        return c + 0x50;
    }
    if (c >= 0x100 && c <= 0x17f && c % 2 == 0) {
        return c + 1; // Latin Extended-A pairs capitals with the small letter after
    }
    return c;
}

// Letters that read alike share one key: accents dropped, Greek and
// Cyrillic look-alikes taken for Latin, 0 for o, 1 and i for l.
char32_t folded(char32_t c) {
    struct Fold {
        char32_t from;
        char32_t to;
    };
    static constexpr Fold folds[] = {
        {0xe0, 'a'},  {0xe1, 'a'},  {0xe2, 'a'},  {0xe3, 'a'},  {0xe4, 'a'},  {0xe5, 'a'},
        {0xe7, 'c'},  {0xe8, 'e'},  {0xe9, 'e'},  {0xea, 'e'},  {0xeb, 'e'},  {0xec, 'l'},
        {0xed, 'l'},  {0xee, 'l'},  {0xef, 'l'},  {0xf1, 'n'},  {0xf2, 'o'},  {0xf3, 'o'},
        {0xf4, 'o'},  {0xf5, 'o'},  {0xf6, 'o'},  {0xf8, 'o'},  {0xf9, 'u'},  {0xfa, 'u'},
        {0xfb, 'u'},  {0xfc, 'u'},  {0xfd, 'y'},  {0xff, 'y'},  {0x3b1, 'a'}, {0x3b2, 'b'},
        {0x3b5, 'e'}, {0x3b7, 'n'}, {0x3b9, 'l'}, {0x3ba, 'k'}, {0x3bd, 'v'}, {0x3bf, 'o'},
        {0x3c1, 'p'}, {0x3c4, 't'}, {0x3c5, 'u'}, {0x3c7, 'x'}, {0x430, 'a'}, {0x432, 'b'},
        {0x435, 'e'}, {0x43a, 'k'}, {0x43c, 'm'}, {0x43d, 'h'}, {0x43e, 'o'}, {0x440, 'p'},
        {0x441, 'c'}, {0x442, 't'}, {0x443, 'y'}, {0x445, 'x'}, {0x455, 's'}, {0x456, 'l'},
        {0x458, 'j'}, {'0', 'o'},   {'1', 'l'},   {'i', 'l'},
    };
    for (const Fold& fold : folds) {
        if (fold.from == c) {
            return fold.to;
        }
    }
    return c;
}

} // namespace

std::optional<PlayerName> cleanPlayerName(std::string_view raw) {
    std::vector<char32_t> points;
    for (std::size_t at = 0; at < raw.size();) {
        const auto character = shared_rules::utf8CharacterAt(raw, at);
        if (!character) {
            return std::nullopt;
        }
        at += character->length;
        const char32_t point = character->point;
        if (point != ' ' && !isAllowed(point)) {
            return std::nullopt;
        }
        // Spaces at the ends go, and a run of them inside becomes one.
        if (point == ' ' && (points.empty() || points.back() == ' ')) {
            continue;
        }
        points.push_back(point);
    }
    if (!points.empty() && points.back() == ' ') {
        points.pop_back();
    }
    if (points.empty() || points.size() > kMaxNameCharacters) {
        return std::nullopt;
    }
    PlayerName name;
    for (char32_t point : points) {
        shared_rules::appendUtf8(name.shown, point);
        if (point != ' ') {
            shared_rules::appendUtf8(name.key, folded(lowered(point)));
        }
    }
    return name;
}

} // namespace kestrada::server
