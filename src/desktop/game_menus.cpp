// SPDX-License-Identifier: GPL-3.0-or-later
#include "desktop/game_menus.h"

#include "session/menu_commands.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>

namespace kestrada::desktop {

namespace {
QString qs(const std::string& s) {
    return QString::fromStdString(s);
}
} // namespace

GameMenus::GameMenus(QMenuBar& bar, const Form& form, std::function<void(Click)> onClick) {
    for (const ItemOf menuOf : session::menuBar()) {
        QMenu* menu = bar.addMenu(qs((form.*menuOf).Caption));
        entries_.push_back({menuOf, nullptr, menu->menuAction()});
        for (const std::size_t i : session::commandsIn(menuOf)) {
            const session::MenuCommandEntry& entry = session::menuCommands()[i];
            if (entry.separatorAbove != nullptr) {
                entries_.push_back({entry.separatorAbove, menuOf, menu->addSeparator()});
            }
            const MenuItem& model = form.*entry.item;
            QAction* action = menu->addAction(qs(model.Caption));
            if (!model.Shortcut.empty()) {
                action->setShortcut(QKeySequence(qs(model.Shortcut), QKeySequence::PortableText));
            }
            action->setCheckable(entry.checkable);
            QObject::connect(action, &QAction::triggered, action,
                             [onClick, click = entry.handler] { onClick(click); });
            entries_.push_back({entry.item, menuOf, action});
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
