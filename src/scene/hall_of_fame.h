// SPDX-License-Identifier: GPL-3.0-or-later
// The hall of fame drawn over the play field as the form designs its frame:
// black, the title, the orange New Game button, then the rows and the name
// field. The form's own frame stays hidden: the panel is the front end's.
#pragma once

#include "app/form.h"
#include "scene/scene.h"

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

namespace kestrada::scene {

struct HallOfFameView {
    const std::vector<std::string>& rows;
    std::optional<std::size_t> highlighted;
    bool nameShown = false; // the name field is drawn
    bool editing = false;   // the name field has the keys
    const std::string& name;
    std::size_t caret = 0; // in characters
    // Lines under the rows: where the entries stand with the world's server.
    std::vector<std::string> notes = {};
    const char* nameLabel = "Your name:"; // before the name field
};

// Appends the panel to the scene, over everything else.
void addHallOfFame(Scene& scene, const Form& form, const HallOfFameView& view);

// Where the panel's parts are, in the scene's pixels: the New Game
// button, a row, the name field.
Rect hallOfFameButton(const Form& form);
Rect hallOfFameRow(const Form& form, std::size_t row);
Rect hallOfFameNameField(const Form& form);
Rect hallOfFameNote(const Form& form, std::size_t line);

// What a point of the scene is over while the panel is shown: a click or a
// tap lands there.
struct HallOfFameSpot {
    enum class Part { Nothing, NewGame, Row, NameField } part = Part::Nothing;
    std::size_t row = 0;
};
HallOfFameSpot hallOfFameSpotAt(const Form& form, std::size_t rows, bool nameShown, double x,
                                double y);

} // namespace kestrada::scene
