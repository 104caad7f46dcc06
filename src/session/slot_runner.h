// SPDX-License-Identifier: GPL-3.0-or-later
// The game's 40 ms slots as every front end runs them. The front end owns
// the clock and calls runSlot() once a slot; this never waits or loops.
// Input from every source (keys, menus, controllers, the end of the music,
// a replayed file) reaches the game on this one path, stamped with the slot
// it is handled in, and the recorder is a tee on that path.
#pragma once

#include "app/form.h"
#include "session/input_file.h"

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace kestrada::session {

// What a front end's game does with one event and one tick.
class SlotGame {
  public:
    virtual ~SlotGame() = default;
    // Runs the event's handler.
    virtual void handle(const InputEvent& event) = 0;
    // One tick when the game's timer is on; false when it is off.
    virtual bool tick() = 0;
    // Exit has run: the program is over and nothing more happens.
    virtual bool ended() const = 0;
};

// Hands one event to its handler on the form.
void handleInput(Form& form, const InputEvent& event);

// A recording without Exit plays on this many slots (2 s) after its last
// event, then stops where it stands.
inline constexpr uint32_t kReplayRunOn = 50;

class SlotRunner {
  public:
    // form is the game's, read to tell which events change something; its
    // players fall silent while a replay is held.
    SlotRunner(SlotGame& game, const Form& form) : game_(game), form_(form) {}

    // Sees every handled event that changes something, stamped with its
    // slot; a held arrow's key repeat changes nothing.
    void setRecorder(std::function<void(const InputEvent&)> recorder);

    // Live input, handled now in the slot about to run. A replay ignores
    // the player's input, all but Exit, which still ends the program, and
    // Esc, which holds and resumes it.
    void input(InputEvent event);

    // From now on the events play at their slots instead of live input.
    void replay(std::vector<InputEvent> events);
    bool replaying() const { return replaying_; }
    // Esc in a replay: its slots stand still and its sound is silent, as in
    // a pause, until it is resumed with its music.
    void hold(bool held);
    bool held() const { return held_; }
    // The replay has run past its last event and stopped for good.
    bool replayOver() const { return replayOver_; }

    struct Slot {
        uint64_t number = 0;
        bool ran = false;         // false: held, over, or the game has ended
        bool ticked = false;      // the game's timer was on
        bool replayEnded = false; // this call found the replay over
    };
    // One slot: the replayed events due in it, then the tick.
    Slot runSlot();

    // The slot that input is stamped with now: the next to run.
    uint64_t slot() const { return slot_; }

  private:
    void deliver(InputEvent event);

    SlotGame& game_;
    const Form& form_;
    std::function<void(const InputEvent&)> recorder_;
    uint64_t slot_ = 1;
    std::vector<InputEvent> script_;
    std::size_t next_ = 0;
    bool replaying_ = false;
    bool held_ = false;
    bool replayOver_ = false;
    bool musicHeld_ = false; // the music was playing when the replay was held
};

// The window's title for the state of the run: "Kestrada", or one of the
// replay's three: playing, held, ended.
std::string runTitle(const SlotRunner& runner);

} // namespace kestrada::session
