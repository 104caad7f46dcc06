// SPDX-License-Identifier: GPL-3.0-or-later
// Every command a player gives through the menus or the hall of fame's
// button, in the order of the menu bar: its name in an input file, the
// model's item that carries its caption, shortcut, check mark and enabling,
// the menu it sits in, and the handler it runs. The input files, the
// headless game, every front end's menu bar and the usage text all read
// this one table.
#pragma once

#include "app/form.h"

#include <optional>
#include <span>
#include <string_view>
#include <vector>

namespace kestrada::session {

enum class MenuCommand : unsigned char {
    mnuNew,
    mnuPause,
    mnuExit,
    mnuMusic,
    mnuEffects,
    mnuHowToPlay,
    mnuAbout,
    mnuHighScores,
    cmdNewGame,
};

using FormHandler = void (Form::*)();
using MenuItemOf = MenuItem Form::*;

struct MenuCommandEntry {
    MenuCommand command;
    std::string_view name;
    FormHandler handler;
    // The item on the menu bar and the menu holding it; both null for the
    // hall of fame's button, which is no menu item.
    MenuItemOf item;
    MenuItemOf menu;
    // A separator drawn above the item, itself an item of the model.
    MenuItemOf separatorAbove;
    bool checkable;
};

// The menus of the bar, left to right.
std::span<const MenuItemOf> menuBar();
std::span<const MenuCommandEntry> menuCommands();
// Where in menuCommands() the items of one menu stand, top to bottom.
std::vector<std::size_t> commandsIn(MenuItemOf menu);

const MenuCommandEntry& entryOf(MenuCommand command);
std::optional<MenuCommand> commandNamed(std::string_view name);
std::optional<MenuCommand> commandOf(FormHandler handler);

// Runs the command's handler on the form.
void run(Form& form, MenuCommand command);

} // namespace kestrada::session
