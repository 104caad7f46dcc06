// SPDX-License-Identifier: GPL-3.0-or-later
// The menu bar, built from the model's menu items and kept in step with
// them: captions, check marks, enabled and visible flags all come from the
// model after every handler.
#pragma once

#include "app/form.h"

#include <functional>
#include <vector>

class QAction;
class QMenuBar;

namespace kestrada::desktop {

class GameMenus {
  public:
    using Click = void (Form::*)();
    using ItemOf = MenuItem Form::*;

    // onClick runs a menu handler of the model.
    GameMenus(QMenuBar& bar, const Form& form, std::function<void(Click)> onClick);

    void sync(const Form& form);

    // The action standing for one menu item.
    QAction* action(ItemOf item) const;

  private:
    struct Entry {
        ItemOf item;
        ItemOf parent; // nullptr for the menus on the bar
        QAction* action;
    };
    std::vector<Entry> entries_;
};

} // namespace kestrada::desktop
