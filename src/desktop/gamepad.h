// SPDX-License-Identifier: GPL-3.0-or-later
// Game controllers as a second keyboard: every button and stick movement the
// game knows becomes the key press or release the keyboard would have sent,
// so the game cannot tell the two apart. Controllers may come and go while
// the game runs; with none, or no controller support, nothing happens.
#pragma once

#include "desktop/key_mapping.h"

#include <QObject>
#include <QTimer>
#include <functional>
#include <memory>

namespace kestrada::desktop {

class Gamepads : public QObject {
    Q_OBJECT

  public:
    // send: a key for the game. gameOver: whether the game has crashed, when
    // Start and South start a new game instead of pausing and firing.
    Gamepads(std::function<void(const GameKey&)> send, std::function<bool()> gameOver,
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
    std::function<void(const GameKey&)> send_;
    std::function<bool()> gameOver_;
    QTimer pollTimer_;
    bool available_ = false;
};

} // namespace kestrada::desktop
