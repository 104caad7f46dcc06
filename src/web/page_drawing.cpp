// SPDX-License-Identifier: GPL-3.0-or-later
#include "web/page_drawing.h"

#include "app/control_pictures.h"
#include "web/page_library.h"

#include <string>

namespace kestrada::web {

namespace {

// The scene's font as a CSS font string: "bold 13px Verdana, "DejaVu Sans", sans-serif".
std::string cssFont(const scene::TextStyle& style) {
    std::string font = style.bold ? "bold " : "";
    font += std::to_string(style.pixelSize) + "px ";
    for (const std::string& name : scene::familyNames(style.family)) {
        font += '"' + name + "\", ";
    }
    return font + scene::genericFamily(style.family);
}

void draw(const scene::Item& item) {
    const scene::Rect& r = item.rect;
    switch (item.kind) {
    case scene::ItemKind::Fill:
        page_fill(int(item.colour.rgb()), r.left, r.top, r.width, r.height);
        break;
    case scene::ItemKind::Picture:
        page_picture(pictureFile(item.picture), item.pictureWidth, item.pictureHeight, r.left,
                     r.top, r.width, r.height, item.opacity);
        break;
    case scene::ItemKind::Text: {
        const scene::TextStyle& s = item.style;
        page_text(item.text.c_str(), cssFont(s).c_str(), s.pixelSize, s.underline,
                  int(s.colour.rgb()), s.align == scene::Align::Centre, s.middle,
                  item.background ? int(item.background->rgb()) : -1, r.left, r.top, r.width,
                  r.height);
        break;
    }
    case scene::ItemKind::Line:
        page_line(int(item.colour.rgb()), item.lineWidth, r.left, r.top, r.left + r.width,
                  r.top + r.height);
        break;
    }
}

} // namespace

void preloadPictures() {
    for (int i = 0; i < kPictureCount; ++i) {
        page_preload(pictureFile(static_cast<Picture>(i)));
    }
}

void drawScene(const scene::Scene& scene, const std::string& title, bool hidePointer) {
    page_begin_frame();
    for (const scene::Item& item : scene) {
        draw(item);
    }
    page_end_frame(title.c_str(), hidePointer);
}

} // namespace kestrada::web
