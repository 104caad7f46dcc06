// SPDX-License-Identifier: GPL-3.0-or-later
// The hall of fame's name field: the name being typed and a caret that
// moves by characters, not bytes. It keeps a name to the table's twelve
// characters and lets no control character or stray byte in.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <utility>

namespace kestrada::session {

class NameField {
  public:
    const std::string& text() const { return text_; }
    std::size_t caret() const { return caret_; } // in characters

    // A new name, the caret after its last character.
    void fill(std::string text);
    // The name replaced where the caret stands.
    void replace(std::string text) { text_ = std::move(text); }
    void caretToEnd();

    void backspace();
    void erase(); // the character after the caret
    void left();
    void right();
    void home() { caret_ = 0; }
    void end() { caretToEnd(); }
    // Typed text, inserted at the caret while the name has room.
    void type(std::string_view typed);

  private:
    std::string text_;
    std::size_t caret_ = 0;
};

} // namespace kestrada::session
