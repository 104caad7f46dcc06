// SPDX-License-Identifier: GPL-3.0-or-later
// Full screen: F11 (or the platform's full-screen keys) asks the window
// manager for it; when the window's state changes, the play area takes the
// largest whole zoom that fits the screen, centred on black, and the menu
// bar folds away until the mouse reaches the top edge. The choice is kept
// for the next start.
#pragma once

#include <QObject>
#include <QSize>

class QEvent;
class QKeyEvent;
class QMainWindow;

namespace kestrada::desktop {

class PlayField;

// The largest whole zoom at which the play area fits in `space`, at least 1.
int fittingZoom(QSize space);

// Whether the player last left the game in full screen.
bool savedFullScreen();

class FullScreen {
  public:
    FullScreen(QMainWindow& window, PlayField& field);

    // Asks for full screen or for the window back; the window manager's
    // answer arrives as a window state change.
    void request(bool on);
    void toggle();

    // Reacts to the window's events; true when the event was the toggle
    // key, which the game must never hear.
    bool handle(QObject* watched, QEvent* event);

    // The zoom to return to when full screen ends.
    void setWindowedZoom(int zoom) { windowedZoom_ = zoom; }
    bool active() const { return active_; }

  private:
    static bool isToggleKey(const QKeyEvent& event);
    void apply();
    void fitPlayArea();
    void showMenuBar(bool show);

    QMainWindow& window_;
    PlayField& field_;
    bool active_ = false;
    int windowedZoom_ = 1;
    int toggleKey_ = 0; // the toggle key held down, if any
};

} // namespace kestrada::desktop
