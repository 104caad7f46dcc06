// SPDX-License-Identifier: GPL-3.0-or-later
// A player's name, as the game and the server both take it. What is
// certainly no part of a name is decided here, without knowing any script:
// control characters, invisible ones and text-direction marks, a blank
// name, one over twelve characters. The server adds what needs the
// Unicode data (no mixed-script look-alikes) and takes the key that makes
// two names the same: the name case-folded (NFKC) with look-alike letters
// read as one (UTS #39 skeletons), and without its spaces. The game, with
// no Unicode data, asks the server for that key.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace kestrada::shared_rules {

inline constexpr std::size_t kMaxNameCharacters = 12;

enum class NameProblem { None, NotText, Blank, TooLong, Control, Invisible, TextDirection };

// Whether a space of any width: each is taken as the plain space.
bool isNameSpace(char32_t c);
// What a single character certainly is in a name: None when it may be
// part of one. Spaces are None.
NameProblem characterProblem(char32_t c);
// The character as a name holds it, as it is typed: any space the plain
// one; nothing for one that is certainly no part of a name.
std::optional<char32_t> nameCharacter(char32_t c);

struct NameCheck {
    std::string shown; // every space plain, none at the ends, none doubled
    NameProblem problem = NameProblem::None;
};
// The name as kept and shown, or the first thing that refuses it.
NameCheck checkName(std::string_view raw);

// Plain words for the player: "a name cannot hold control characters".
std::string nameProblemText(NameProblem problem);

} // namespace kestrada::shared_rules
