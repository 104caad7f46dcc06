// SPDX-License-Identifier: GPL-3.0-or-later
#include "session/menu_commands.h"

#include <array>
#include <utility>

namespace kestrada::session {

namespace {
constexpr std::array<std::pair<MenuCommand, FormHandler>, 9> kHandlers = {{
    {MenuCommand::mnuNew, &Form::mnuNew_Click},
    {MenuCommand::mnuPause, &Form::mnuPause_Click},
    {MenuCommand::mnuExit, &Form::mnuExit_Click},
    {MenuCommand::mnuMusic, &Form::mnuMusic_Click},
    {MenuCommand::mnuEffects, &Form::mnuEffects_Click},
    {MenuCommand::mnuHowToPlay, &Form::mnuHowToPlay_Click},
    {MenuCommand::mnuAbout, &Form::mnuAbout_Click},
    {MenuCommand::mnuHighScores, &Form::mnuHighScores_Click},
    {MenuCommand::cmdNewGame, &Form::cmdNewGame_Click},
}};
} // namespace

FormHandler handlerOf(MenuCommand command) {
    for (const auto& [each, handler] : kHandlers) {
        if (each == command) {
            return handler;
        }
    }
    return &Form::mnuNew_Click;
}

std::optional<MenuCommand> commandOf(FormHandler handler) {
    for (const auto& [command, each] : kHandlers) {
        if (each == handler) {
            return command;
        }
    }
    return std::nullopt;
}

} // namespace kestrada::session
