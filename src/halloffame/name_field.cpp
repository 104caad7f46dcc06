// SPDX-License-Identifier: GPL-3.0-or-later
#include "halloffame/name_field.h"

#include "halloffame/hall_of_fame.h"
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
    for (const std::string& c : shared_rules::utf8Characters(typed)) {
        // A control character or a stray byte is no part of a name.
        const std::string kept = c == " " ? c : cleanName(c);
        if (kept.empty() || characters.size() >= kNameCharacters) {
            continue;
        }
        characters.insert(characters.begin() + static_cast<std::ptrdiff_t>(caret_++), kept);
    }
    text_ = joined(characters);
}

} // namespace kestrada::session
