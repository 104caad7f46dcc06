// SPDX-License-Identifier: GPL-3.0-or-later
// The page's own JavaScript (page_library.js), as the C++ side calls it:
// drawing on the canvas, the HTML menu bar and dialogs, the storage and
// the sound.
#pragma once

#include <cstdint>

extern "C" {
uint32_t page_milliseconds_since_midnight();
void page_show_dialog(const char* title, const char* text);
bool page_dialog_open();

void page_preload(const char* file);
void page_begin_frame();
// The picture rendered at renderedWidth × renderedHeight, drawn into the
// rectangle.
void page_picture(const char* file, double renderedWidth, double renderedHeight, double left,
                  double top, double width, double height, double opacity);
void page_fill(int rgb, double left, double top, double width, double height);
// background: -1 for none.
void page_text(const char* text, const char* font, int pixelSize, bool underline, int rgb,
               bool centre, bool middle, int background, double left, double top, double width,
               double height);
void page_line(int rgb, double width, double x1, double y1, double x2, double y2);
// The title, and whether the pointer hides over the canvas (a running game).
void page_end_frame(const char* title, bool hidePointer);

// name: the command's name in the input files, for the tests.
void page_menu_add(int menu, int item, const char* name, const char* caption, const char* shortcut,
                   bool checkable, bool separatorAbove);
void page_menu_state(int menu, int item, const char* caption, bool checked, bool enabled,
                     bool visible);

// The touch controls show New Game after a crash, the play keys before.
void page_touch_state(bool gameOver);

void page_sound(const char* call);
void page_persist();
// The hall of fame's chosen run, a file in the page's storage; "" for none.
void page_chosen_run(const char* path);
// The hall of fame's name field: shown, having the keys, the name in it,
// and where it is in the scene's pixels.
void page_name_field(bool shown, bool editing, const char* name, double left, double top,
                     double width, double height);
void page_ended();
}
