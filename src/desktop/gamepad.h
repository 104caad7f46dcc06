// SPDX-License-Identifier: GPL-3.0-or-later
// Game controllers through SDL: their buttons and axes, read as they move,
// are handed to the input policy, which makes keys of them as it does for
// every front end. Controllers may come and go while the game runs; with
// none, or no controller support, nothing happens.
#pragma once

#include "play/play.h"

#include <QObject>
#include <QTimer>
#include <functional>
#include <memory>

namespace kestrada::desktop {

class Gamepads : public QObject {
    Q_OBJECT

  public:
    // inFront: whether the game's window is the active one, which alone a
    // controller's presses reach; handed: called after a poll that handed
    // the session something.
    Gamepads(session::Play& play, std::function<bool()> inFront, std::function<void()> handed,
             QObject* parent = nullptr);
    ~Gamepads() override;
    Gamepads(const Gamepads&) = delete;
    Gamepads& operator=(const Gamepads&) = delete;

    // False when the controller support could not be started.
    bool available() const { return available_; }
    int connected() const;

    // Reads what the controllers did since the last call. A light timer of
    // its own calls it, and runs while the game is paused too.
    void poll();

    // A short shake of every controller that can.
    void rumble();

  private:
    struct Pads;
    std::unique_ptr<Pads> pads_;
    session::Play& play_;
    std::function<bool()> inFront_;
    std::function<void()> handed_;
    QTimer pollTimer_;
    bool available_ = false;
};

} // namespace kestrada::desktop
