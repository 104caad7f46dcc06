// SPDX-License-Identifier: GPL-3.0-or-later
// The menu commands of an input file and the form's handlers they stand for,
// so that the window can write what it ran and run what it reads.
#pragma once

#include "app/form.h"
#include "session/input_file.h"

#include <optional>

namespace kestrada::session {

using FormHandler = void (Form::*)();

FormHandler handlerOf(MenuCommand command);
std::optional<MenuCommand> commandOf(FormHandler handler);

} // namespace kestrada::session
