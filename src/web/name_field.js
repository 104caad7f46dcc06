// SPDX-License-Identifier: GPL-3.0-or-later
// The hall of fame's name field is a real text input laid over the one the
// game draws, on every device: a phone's keyboard, an input method's
// committed text (Chinese, Japanese, Korean) and plain keys all type into
// it. The whole text goes to the game at each change, whose rules clean and
// cut it; the input then shows what the game kept. Gives: showNameField.
'use strict';

const nameInput = document.getElementById('name-input');
const nameField = { shown: false, editing: false, rect: [0, 0, 0, 0] };

// Over the game's field at the canvas's present size.
function placeNameField() {
  const [left, top, width, height] = nameField.rect;
  const css = canvas.clientWidth / playArea.width;
  nameInput.style.setProperty('--zoom', css);
  Object.assign(nameInput.style, {
    left: `${left * css}px`, top: `${top * css}px`, width: `${width * css}px`, height: `${height * css}px`,
  });
}

// The game says where the field is and whether it has the keys when either changes.
// With a keyboard the input takes them as the panel starts asking for a
// name, so typing works at once; a phone's keyboard opens on a tap instead,
// not over the controls under the player's thumbs.
function showNameField(shown, editing, name, left, top, width, height) {
  const started = editing && !nameField.editing;
  nameField.shown = shown;
  nameField.editing = editing;
  nameField.rect = [left, top, width, height];
  nameInput.hidden = !shown;
  placeNameField();
  if (document.activeElement !== nameInput) {
    nameInput.value = name;
  } else if (!editing) {
    nameInput.blur();
  }
  if (started && shown && !document.body.classList.contains('touch')) {
    nameInput.focus();
    nameInput.setSelectionRange(name.length, name.length);
  }
}

// The game tells only changes; a new zoom or window size moves the field too.
new ResizeObserver(placeNameField).observe(canvas);

function sendName() {
  const kept = withText(nameInput.value, (at) => UTF8ToString(Module._kestrada_name_text(at)));
  if (kept !== nameInput.value) {
    nameInput.value = kept;
  }
}

nameInput.addEventListener('focus', () => {
  // A click or a tap on the field gives it the keys, as on the canvas.
  if (!nameField.editing) {
    const [left, top, width, height] = nameField.rect;
    Module._kestrada_click(left + width / 2, top + height / 2);
  }
});
// An input method's text counts once it is committed, not while it is
// being composed.
nameInput.addEventListener('input', (event) => {
  if (!event.isComposing) {
    sendName();
  }
});
nameInput.addEventListener('compositionend', sendName);
// A phone's keyboard closed with the name in it keeps the name. With a
// keyboard, focus gone elsewhere leaves the field asking, as the game's own
// field does: its keys then reach it through the game.
nameInput.addEventListener('blur', () => {
  if (nameField.editing && document.body.classList.contains('touch')) {
    Module._kestrada_name_confirm();
  }
});

// Keys pressed in the input are its own; the game never sees them, except
// releases (a key held as the game ended must not stay held) and the
// menus' Ctrl shortcuts. Enter keeps the name, Esc the one given last time,
// as in the game's field; Up and Down, which would move the caret, and a
// held key's repeats (Space still held from the game) do nothing there.
const editingKeys = new Set(['a', 'c', 'v', 'x', 'y', 'z']);
window.addEventListener('keydown', (event) => {
  if (event.target !== nameInput) {
    return;
  }
  const shortcut = (event.ctrlKey || event.metaKey || event.altKey) && !editingKeys.has(event.key.toLowerCase());
  if (shortcut) {
    return;
  }
  event.stopImmediatePropagation();
  if (event.isComposing || event.keyCode === 229) {
    return;
  }
  if (event.repeat) {
    event.preventDefault();
  } else if (event.key === 'Enter') {
    Module._kestrada_name_confirm();
    nameInput.blur();
  } else if (event.key === 'Escape') {
    Module._kestrada_name_cancel();
    nameInput.blur();
  } else if (event.key === 'ArrowUp' || event.key === 'ArrowDown' || event.key === 'Tab') {
    event.preventDefault();
  }
}, true);
