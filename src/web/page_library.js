// SPDX-License-Identifier: GPL-3.0-or-later
// The calls the C++ side makes into the page (declared in page_library.h).
// Each hands its work to the page's scripts through kestradaPage (page.js).
mergeInto(LibraryManager.library, {
  page_milliseconds_since_midnight: function () {
    const now = new Date();
    const midnight = new Date(now.getFullYear(), now.getMonth(), now.getDate());
    return (now - midnight) >>> 0;
  },
  page_show_dialog: function (title, text) {
    kestradaPage.showDialog(UTF8ToString(title), UTF8ToString(text));
  },
  page_dialog_open: function () {
    return kestradaPage.dialogOpen();
  },
  page_preload: function (file) {
    kestradaPage.preload(UTF8ToString(file));
  },
  page_begin_frame: function () {
    kestradaPage.beginFrame();
  },
  page_picture: function (file, renderedWidth, renderedHeight, left, top, width, height, opacity) {
    kestradaPage.picture(UTF8ToString(file), renderedWidth, renderedHeight, left, top, width, height,
      opacity);
  },
  page_fill: function (rgb, left, top, width, height) {
    kestradaPage.fill(rgb, left, top, width, height);
  },
  page_text: function (text, font, px, underline, rgb, centre, middle, background, left, top,
    width, height) {
    kestradaPage.text(UTF8ToString(text), UTF8ToString(font), px, underline, rgb, centre, middle,
      background, left, top, width, height);
  },
  page_line: function (rgb, width, x1, y1, x2, y2) {
    kestradaPage.line(rgb, width, x1, y1, x2, y2);
  },
  page_end_frame: function (title, hidePointer) {
    kestradaPage.endFrame(UTF8ToString(title), hidePointer);
  },
  page_menu_add: function (menu, item, name, caption, shortcut, checkable, separatorAbove) {
    kestradaPage.menus.add(menu, item, UTF8ToString(name), UTF8ToString(caption),
      UTF8ToString(shortcut), checkable, separatorAbove);
  },
  page_menu_state: function (menu, item, caption, checked, enabled, visible) {
    kestradaPage.menus.state(menu, item, UTF8ToString(caption), checked, enabled, visible);
  },
  page_touch_state: function (gameOver) {
    kestradaPage.touch.state(gameOver);
  },
  page_sound: function (call) {
    kestradaPage.sound.call(UTF8ToString(call));
  },
  page_chosen_run: function (path) {
    kestradaPage.chosenRun(UTF8ToString(path));
  },
  page_name_field: function (shown, editing, name, left, top, width, height) {
    kestradaPage.nameField(shown, editing, UTF8ToString(name), left, top, width, height);
  },
  page_persist: function () {
    kestradaPage.persist();
  },
  page_ended: function () {
    kestradaPage.ended();
  },
});
