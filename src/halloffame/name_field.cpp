// SPDX-License-Identifier: GPL-3.0-or-later
#include "halloffame/name_field.h"

#include "halloffame/hall_of_fame.h"
#include "shared_rules/names.h"
#include "shared_rules/utf8.h"

#include <vector>

namespace kestrada::session {

namespace {
std::string joined(const std::vector<std::string>& characters) {
    std::string text;
    for (const std::string& c : characters) {
        text += c;
    }
    return text;
}
} // namespace

void NameField::fill(std::string text) {
    text_ = std::move(text);
    caretToEnd();
}

void NameField::caretToEnd() {
    caret_ = shared_rules::utf8Characters(text_).size();
}

void NameField::backspace() {
    std::vector<std::string> characters = shared_rules::utf8Characters(text_);
    if (caret_ > 0) {
        characters.erase(characters.begin() + static_cast<std::ptrdiff_t>(--caret_));
    }
    text_ = joined(characters);
}

void NameField::erase() {
    std::vector<std::string> characters = shared_rules::utf8Characters(text_);
    if (caret_ < characters.size()) {
        characters.erase(characters.begin() + static_cast<std::ptrdiff_t>(caret_));
    }
    text_ = joined(characters);
}

void NameField::left() {
    caret_ -= caret_ > 0 ? 1 : 0;
}

void NameField::right() {
    caret_ += caret_ < shared_rules::utf8Characters(text_).size() ? 1 : 0;
}

void NameField::type(std::string_view typed) {
    std::vector<std::string> characters = shared_rules::utf8Characters(text_);
    for (std::size_t at = 0; at < typed.size();) {
        const auto character = shared_rules::utf8CharacterAt(typed, at);
        at += character ? character->length : 1;
        // Refused as typed: a stray byte, and a control, invisible or
        // text-direction character, which no server would take.
        const auto kept = character ? shared_rules::nameCharacter(character->point) : std::nullopt;
        if (!kept || characters.size() >= kNameCharacters) {
            continue;
        }
        std::string text;
        shared_rules::appendUtf8(text, *kept);
        characters.insert(characters.begin() + static_cast<std::ptrdiff_t>(caret_++), text);
    }
    text_ = joined(characters);
}

} // namespace kestrada::session
