// SPDX-License-Identifier: GPL-3.0-or-later
// The window's controls as the game sees them: plain values with the
// properties the rules read and write.
#pragma once

#include <string>

namespace kestrada {

// A picture, picture box, label, frame or button on the main window.
// Left/Top/Width/Height are window pixels; hidden controls keep their place.
struct Control {
    float Left = 0;
    float Top = 0;
    float Width = 0;
    float Height = 0;
    bool Visible = false;
    std::string Caption; // labels and buttons only

    bool operator==(const Control&) const = default;
};

// The speedometer needle: (X1, Y1) is the pivot, (X2, Y2) the tip.
struct Line {
    float X1 = 0;
    float Y1 = 0;
    float X2 = 0;
    float Y2 = 0;
    bool Visible = false;

    bool operator==(const Line&) const = default;
};

struct MenuItem {
    std::string Caption;
    std::string Shortcut; // "Ctrl+N"; empty when the item has none
    bool Checked = false;
    bool Enabled = true;
    bool Visible = true;

    bool operator==(const MenuItem&) const = default;
};

struct Timer {
    bool Enabled = false;
    int Interval = 40; // milliseconds

    bool operator==(const Timer&) const = default;
};

enum class MousePointer { Default, Transparent };

} // namespace kestrada
