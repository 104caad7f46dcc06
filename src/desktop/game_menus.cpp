// SPDX-License-Identifier: GPL-3.0-or-later
#include "desktop/game_menus.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>

namespace kestrada::desktop {

namespace {
struct ItemSpec {
    GameMenus::ItemOf item;
    GameMenus::Click click; // nullptr for the separator
};

struct MenuSpec {
    GameMenus::ItemOf menu;
    std::vector<ItemSpec> items;
};

const std::vector<MenuSpec>& menuBarLayout() {
    static const std::vector<MenuSpec> layout = {
        {&Form::mnuFile,
         {{&Form::mnuNew, &Form::mnuNew_Click},
          {&Form::mnuPause, &Form::mnuPause_Click},
          {&Form::mnuLine, nullptr},
          {&Form::mnuExit, &Form::mnuExit_Click}}},
        {&Form::mnuSound,
         {{&Form::mnuMusic, &Form::mnuMusic_Click}, {&Form::mnuEffects, &Form::mnuEffects_Click}}},
        {&Form::mnuHelp,
         {{&Form::mnuHowToPlay, &Form::mnuHowToPlay_Click},
          {&Form::mnuAbout, &Form::mnuAbout_Click}}},
        {&Form::mnuScores, {{&Form::mnuHighScores, &Form::mnuHighScores_Click}}},
    };
    return layout;
}

QString qs(const std::string& s) {
    return QString::fromStdString(s);
}
} // namespace

GameMenus::GameMenus(QMenuBar& bar, const Form& form, std::function<void(Click)> onClick) {
    for (const MenuSpec& menuLayout : menuBarLayout()) {
        QMenu* menu = bar.addMenu(qs((form.*menuLayout.menu).Caption));
        entries_.push_back({menuLayout.menu, nullptr, menu->menuAction()});
        for (const ItemSpec& item : menuLayout.items) {
            if (item.click == nullptr) {
                entries_.push_back({item.item, menuLayout.menu, menu->addSeparator()});
                continue;
            }
            const MenuItem& model = form.*item.item;
            QAction* action = menu->addAction(qs(model.Caption));
            if (!model.Shortcut.empty()) {
                action->setShortcut(QKeySequence(qs(model.Shortcut), QKeySequence::PortableText));
            }
            // Only the sound switches carry a check mark.
            action->setCheckable(item.item == &Form::mnuMusic || item.item == &Form::mnuEffects);
            QObject::connect(action, &QAction::triggered, action,
                             [onClick, click = item.click] { onClick(click); });
            entries_.push_back({item.item, menuLayout.menu, action});
        }
    }
    sync(form);
}

void GameMenus::sync(const Form& form) {
    for (const Entry& e : entries_) {
        const MenuItem& item = form.*e.item;
        bool visible = item.Visible;
        bool enabled = item.Enabled;
        // An item inside a hidden or disabled menu is out of reach, shortcut
        // included.
        if (e.parent != nullptr) {
            visible = visible && (form.*e.parent).Visible;
            enabled = enabled && (form.*e.parent).Enabled;
        }
        QAction* a = e.action;
        if (!a->isSeparator() && a->text() != qs(item.Caption)) {
            a->setText(qs(item.Caption));
        }
        if (a->isCheckable() && a->isChecked() != item.Checked) {
            a->setChecked(item.Checked);
        }
        if (a->isEnabled() != enabled) {
            a->setEnabled(enabled);
        }
        if (a->isVisible() != visible) {
            a->setVisible(visible);
        }
    }
}

QAction* GameMenus::action(ItemOf item) const {
    for (const Entry& e : entries_) {
        if (e.item == item) {
            return e.action;
        }
    }
    return nullptr;
}

} // namespace kestrada::desktop
