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
    bool editing = false; // the name field has the keys
    const std::string& name;
    std::size_t caret = 0; // in characters
};

// Appends the panel to the scene, over everything else.
void addHallOfFame(Scene& scene, const Form& form, const HallOfFameView& view);

// Where the panel's New Game button is, in window pixels.
Rect hallOfFameButton(const Form& form);

} // namespace kestrada::scene
