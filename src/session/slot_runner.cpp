// SPDX-License-Identifier: GPL-3.0-or-later
#include "session/slot_runner.h"

#include "app/key_codes.h"
#include "session/recording.h"
#include "sound/sound_player.h"

#include <utility>

namespace kestrada::session {

void handleInput(Form& form, const InputEvent& event) {
    switch (event.action) {
    case InputAction::KeyDown:
        form.Form_KeyDown(event.keyCode);
        break;
    case InputAction::KeyUp:
        form.Form_KeyUp(event.keyCode);
        break;
    case InputAction::Menu:
        run(form, event.command);
        break;
    case InputAction::MusicEnded:
        form.sndMusic_event9();
        break;
    }
}

void SlotRunner::setRecorder(std::function<void(const InputEvent&)> recorder) {
    recorder_ = std::move(recorder);
}

void SlotRunner::input(InputEvent event) {
    const bool exit = event.action == InputAction::Menu && event.command == MenuCommand::mnuExit;
    if (replaying_ && !exit) {
        if (event.action == InputAction::KeyDown && event.keyCode == kKeyEsc && !replayOver_) {
            hold(!held_);
        }
        return;
    }
    deliver(event);
}

void SlotRunner::hold(bool held) {
    if (held == held_) {
        return;
    }
    held_ = held;
    SoundPlayer* music = form_.sndMusic;
    if (held) {
        musicHeld_ = music != nullptr && music->mode() == kModePlaying;
        for (SoundPlayer* player : {form_.sndStart, form_.sndCrash, music}) {
            if (player != nullptr) {
                player->stop();
            }
        }
    } else if (musicHeld_) {
        music->play();
    }
}

void SlotRunner::deliver(InputEvent event) {
    if (game_.ended()) {
        return;
    }
    event.slot = static_cast<uint32_t>(slot_);
    // The check looks at the form before the handler changes it.
    if (recorder_ && !changesNothing(form_, event)) {
        recorder_(event);
    }
    game_.handle(event);
}

void SlotRunner::replay(std::vector<InputEvent> events) {
    script_ = std::move(events);
    next_ = 0;
    replaying_ = true;
    held_ = false;
    replayOver_ = false;
}

SlotRunner::Slot SlotRunner::runSlot() {
    Slot slot;
    slot.number = slot_;
    if (game_.ended() || (replaying_ && (held_ || replayOver_))) {
        return slot;
    }
    if (replaying_ && next_ == script_.size()) {
        const uint64_t lastEvent = script_.empty() ? 0 : script_.back().slot;
        if (slot_ > lastEvent + kReplayRunOn) {
            replayOver_ = true;
            slot.replayEnded = true;
            return slot;
        }
    }
    while (replaying_ && next_ < script_.size() && script_[next_].slot <= slot_) {
        deliver(script_[next_++]);
    }
    if (game_.ended()) {
        return slot;
    }
    slot.ran = true;
    slot.ticked = game_.tick();
    // Whatever happens from here on belongs to the next slot.
    ++slot_;
    return slot;
}

std::string runTitle(const SlotRunner& runner) {
    if (!runner.replaying()) {
        return "Kestrada";
    }
    if (runner.replayOver()) {
        return "Kestrada - replay ended";
    }
    return runner.held() ? "Kestrada - replay (held)" : "Kestrada - replay";
}

} // namespace kestrada::session
