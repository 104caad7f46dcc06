// SPDX-License-Identifier: GPL-3.0-or-later
#include "session/menu_commands.h"

#include <array>

namespace kestrada::session {

namespace {
constexpr std::array<MenuItemOf, 4> kMenuBar = {&Form::mnuFile, &Form::mnuSound, &Form::mnuHelp,
                                                &Form::mnuScores};

constexpr std::array<MenuCommandEntry, 9> kCommands = {{
    {MenuCommand::mnuNew, "mnuNew", &Form::mnuNew_Click, &Form::mnuNew, &Form::mnuFile, nullptr,
     false},
    {MenuCommand::mnuPause, "mnuPause", &Form::mnuPause_Click, &Form::mnuPause, &Form::mnuFile,
     nullptr, false},
    {MenuCommand::mnuExit, "mnuExit", &Form::mnuExit_Click, &Form::mnuExit, &Form::mnuFile,
     &Form::mnuLine, false},
    {MenuCommand::mnuMusic, "mnuMusic", &Form::mnuMusic_Click, &Form::mnuMusic, &Form::mnuSound,
     nullptr, true},
    {MenuCommand::mnuEffects, "mnuEffects", &Form::mnuEffects_Click, &Form::mnuEffects,
     &Form::mnuSound, nullptr, true},
    {MenuCommand::mnuHowToPlay, "mnuHowToPlay", &Form::mnuHowToPlay_Click, &Form::mnuHowToPlay,
     &Form::mnuHelp, nullptr, false},
    {MenuCommand::mnuAbout, "mnuAbout", &Form::mnuAbout_Click, &Form::mnuAbout, &Form::mnuHelp,
     nullptr, false},
    {MenuCommand::mnuHighScores, "mnuHighScores", &Form::mnuHighScores_Click, &Form::mnuHighScores,
     &Form::mnuScores, nullptr, false},
    {MenuCommand::cmdNewGame, "cmdNewGame", &Form::cmdNewGame_Click, nullptr, nullptr, nullptr,
     false},
}};
} // namespace

std::span<const MenuItemOf> menuBar() {
    return kMenuBar;
}

std::span<const MenuCommandEntry> menuCommands() {
    return kCommands;
}

std::vector<std::size_t> commandsIn(MenuItemOf menu) {
    std::vector<std::size_t> places;
    for (std::size_t i = 0; i < std::size(kCommands); ++i) {
        if (kCommands[i].menu == menu) {
            places.push_back(i);
        }
    }
    return places;
}

const MenuCommandEntry& entryOf(MenuCommand command) {
    for (const MenuCommandEntry& entry : kCommands) {
        if (entry.command == command) {
            return entry;
        }
    }
    return kCommands.front();
}

std::optional<MenuCommand> commandNamed(std::string_view name) {
    for (const MenuCommandEntry& entry : kCommands) {
        if (entry.name == name) {
            return entry.command;
        }
    }
    return std::nullopt;
}

std::optional<MenuCommand> commandOf(FormHandler handler) {
    for (const MenuCommandEntry& entry : kCommands) {
        if (entry.handler == handler) {
            return entry.command;
        }
    }
    return std::nullopt;
}

void run(Form& form, MenuCommand command) {
    (form.*entryOf(command).handler)();
}

} // namespace kestrada::session
