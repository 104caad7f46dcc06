// SPDX-License-Identifier: GPL-3.0-or-later
#include "web/page_drawing.h"

#include "app/control_pictures.h"
#include "web/page_library.h"

#include <string>

namespace kestrada::web {

namespace {

constexpr int kCarBoxBackground = 0x232323;
constexpr int kMedianBoxBackground = 0x242424;
constexpr int kFrameBackground = 0x000000;

// The picture file each image and picture box shows.
const char* pictureFile(ControlId id) {
    const auto picture = pictureOf(id);
    return picture ? kestrada::pictureFile(*picture) : nullptr;
}

std::string nameText(ControlId id) {
    return std::string(nameOf(id));
}

void drawLower(const Form& form, ControlId id) {
    if (id == ControlId::linSpeed) {
        const Line& line = form.linSpeed;
        if (line.Visible) {
            page_needle(line.X1, line.Y1, line.X2, line.Y2);
        }
        return;
    }
    const Control& c = form.control(id);
    if (!c.Visible) {
        return;
    }
    if (kindOf(id) == ControlKind::Label) {
        page_label(nameText(id).c_str(), c.Caption.c_str(), c.Left, c.Top, c.Width, c.Height);
    } else if (const char* file = pictureFile(id)) {
        page_picture(file, c.Left, c.Top, c.Width, c.Height);
    }
}

void drawPictureBox(const Control& c, ControlId id, int background) {
    if (!c.Visible) {
        return;
    }
    page_fill(background, c.Left, c.Top, c.Width, c.Height);
    page_picture(pictureFile(id), c.Left, c.Top, c.Width, c.Height);
}

void drawUpper(const Form& form, ControlId id) {
    const Control& c = form.control(id);
    const Control& frame = form.fraScores();
    switch (id) {
    case ControlId::picSplit:
        drawPictureBox(c, id, kMedianBoxBackground);
        break;
    case ControlId::picCar:
        drawPictureBox(c, id, kCarBoxBackground);
        break;
    case ControlId::fraScores:
        if (c.Visible) {
            page_fill(kFrameBackground, c.Left, c.Top, c.Width, c.Height);
        }
        break;
    case ControlId::lblScoreTitle:
        // The frame's children sit inside it and vanish with it.
        if (frame.Visible && c.Visible) {
            page_label(nameText(id).c_str(), c.Caption.c_str(), frame.Left + c.Left,
                       frame.Top + c.Top, c.Width, c.Height);
        }
        break;
    case ControlId::cmdNewGame:
        if (frame.Visible && c.Visible) {
            page_button(nameText(id).c_str(), c.Caption.c_str(), frame.Left + c.Left,
                        frame.Top + c.Top, c.Width, c.Height);
        }
        break;
    default:
        break;
    }
}

} // namespace

void preloadPictures() {
    for (std::size_t i = 0; i < kControlCount; ++i) {
        if (const char* file = pictureFile(static_cast<ControlId>(i))) {
            page_preload(file);
        }
    }
}

void drawFrame(const Form& form, const std::string& title) {
    page_begin_frame();
    for (auto it = form.drawOrder.rbegin(); it != form.drawOrder.rend(); ++it) {
        drawLower(form, *it);
    }
    for (auto it = kUpperLayerOrder.rbegin(); it != kUpperLayerOrder.rend(); ++it) {
        drawUpper(form, *it);
    }
    page_end_frame(title.c_str(), form.mousePointer == MousePointer::Transparent);
}

} // namespace kestrada::web
