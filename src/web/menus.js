// SPDX-License-Identifier: GPL-3.0-or-later
// The menu bar the game fills and keeps up to date, its sheet on a touch
// screen, the dialogs, and the Ctrl keys the page keeps for itself (the
// menus' shortcuts and the zoom). Gives: menus, dialog, showDialog.
'use strict';

// "&File" as the text File with its access key underlined.
function captionNode(caption) {
  const span = document.createElement('span');
  const at = caption.indexOf('&');
  if (at < 0 || at + 1 >= caption.length) {
    span.textContent = caption.replace('&', '');
    return span;
  }
  span.append(caption.slice(0, at));
  const key = document.createElement('u');
  key.textContent = caption[at + 1];
  span.append(key, caption.slice(at + 2));
  return span;
}

const menus = {
  bar: document.getElementById('menubar'),
  open: null,
  entries: new Map(),
  add(menu, item, name, caption, shortcut, checkable, separatorAbove) {
    if (item < 0) {
      const title = document.createElement('div');
      title.className = 'menu';
      const button = document.createElement('button');
      button.className = 'title';
      const list = document.createElement('div');
      list.className = 'items';
      title.append(button, list);
      this.bar.append(title);
      button.addEventListener('click', () => this.toggle(title));
      button.addEventListener('mouseenter', () => this.open && this.open !== title && this.toggle(title));
      this.entries.set(`${menu}`, { element: title, button, list, caption: null });
      return;
    }
    const parent = this.entries.get(`${menu}`);
    if (separatorAbove) {
      parent.list.append(document.createElement('hr'));
    }
    const button = document.createElement('button');
    button.className = 'item';
    button.dataset.command = item;
    button.dataset.name = name;
    const check = document.createElement('span');
    check.className = 'check';
    const text = document.createElement('span');
    const keys = document.createElement('span');
    keys.className = 'shortcut';
    keys.textContent = shortcut;
    button.append(check, text, keys);
    button.addEventListener('click', () => {
      this.close();
      Module._kestrada_menu(item);
    });
    parent.list.append(button);
    this.entries.set(`${menu}.${item}`, { element: button, button, text, check, checkable, shortcut, caption: null });
  },
  state(menu, item, caption, checked, enabled, visible) {
    const e = this.entries.get(item < 0 ? `${menu}` : `${menu}.${item}`);
    if (e.caption !== caption) {
      e.caption = caption;
      (e.text || e.button).replaceChildren(captionNode(caption));
    }
    const mark = e.checkable && checked ? '✓' : '';
    if (e.check && e.check.textContent !== mark) {
      e.check.textContent = mark;
    }
    // Only what changed is written: the page does this at every frame.
    if (e.button.disabled !== !enabled) {
      e.button.disabled = !enabled;
    }
    if (e.element.hidden !== !visible) {
      e.element.hidden = !visible;
    }
    e.enabled = enabled && visible;
  },
  toggle(title) {
    const wasOpen = this.open === title;
    this.close();
    if (!wasOpen) {
      title.classList.add('open');
      this.open = title;
    }
  },
  close() {
    document.body.classList.remove('menu-open');
    if (this.open) {
      this.open.classList.remove('open');
      this.open = null;
    }
  },
  // Ctrl+letter runs the item with that shortcut, where the browser lets the
  // page have the key.
  shortcut(event) {
    for (const [key, e] of this.entries) {
      if (key.includes('.') && e.enabled && e.shortcut === `Ctrl+${event.key.toUpperCase()}`) {
        Module._kestrada_menu(Number(e.button.dataset.command));
        return true;
      }
    }
    return false;
  },
};
// On a touch screen the menus fold into one button, which opens them all
// as a sheet (with the run's links); a tap outside closes it.
const menuButton = document.getElementById('menu-button');
menuButton.addEventListener('click', () => {
  const opening = !document.body.classList.contains('menu-open');
  menus.close();
  document.body.classList.toggle('menu-open', opening);
});
document.addEventListener('click', (event) => {
  if (!menus.bar.contains(event.target) && event.target !== menuButton) {
    menus.close();
  }
});

// ---- dialogs ------------------------------------------------------------------

const dialog = document.getElementById('dialog');
function showDialog(title, text) {
  document.getElementById('dialog-title').textContent = title;
  document.getElementById('dialog-text').textContent = text.replace(/\r\n/g, '\n');
  dialog.showModal();
  document.getElementById('dialog-ok').focus();
}
document.getElementById('dialog-ok').addEventListener('click', () => dialog.close());

// ---- keys the page keeps for itself -------------------------------------------

document.addEventListener('keydown', (event) => {
  if (!event.ctrlKey || dialog.open) {
    return;
  }
  if (event.key === '+' || event.key === '=') {
    setZoom(chosenZoom + 1);
  } else if (event.key === '-') {
    setZoom(chosenZoom - 1);
  } else if (!menus.shortcut(event)) {
    return;
  }
  event.preventDefault();
});
