// SPDX-License-Identifier: GPL-3.0-or-later
// Pause, the sound switches, Exit and the road-music loop. Pausing only
// switches the timer off, so resuming continues exactly where play stopped.
#include "app/form.h"
#include "app/running.h"
#include "sound/sound_player.h"

namespace kestrada {

namespace {
void stopAllSounds(Form& f) {
    f.sndStart->stop();
    f.sndMusic->stop();
    f.sndCrash->stop();
}

void pause(Form& f) {
    stopAllSounds(f);
    f.tmrMain.Enabled = false;
    // The median is shown as a still picture while the game stands.
    f.MedianWasVisible = f.picSplit().Visible;
    f.picSplit().Visible = false;
    f.imgSplit().Top = f.picSplit().Top;
    f.imgSplit().Visible = f.MedianWasVisible;
    f.bringToFront(ControlId::imgSplit);
    f.lblPaused().Visible = true;
    f.bringToFront(ControlId::lblPaused);
    f.mnuPause.Caption = "Un&pause";
    f.lblInfo(8).Caption = "Unpause";
    f.mousePointer = MousePointer::Default;
}

void resume(Form& f) {
    f.mousePointer = MousePointer::Transparent;
    f.mnuPause.Caption = "&Pause";
    f.lblInfo(8).Caption = "Pause";
    f.lblPaused().Visible = false;
    f.imgSplit().Visible = false;
    f.picSplit().Visible = f.MedianWasVisible;
    f.tmrMain.Enabled = true;
    if (f.mnuMusic.Checked) {
        f.sndMusic->play();
        f.MusicPlaying = true;
    }
}
} // namespace

void Form::mnuPause_Click() {
    if (GameOver) {
        return;
    }
    if (mnuPause.Caption == "&Pause") {
        pause(*this);
    } else {
        resume(*this);
    }
}

void Form::mnuMusic_Click() {
    if (mnuMusic.Checked) {
        sndMusic->stop();
        MusicPlaying = false;
    } else {
        // Before tick 75 with effects on, the jingle is still playing and the
        // tick starts the music when it ends.
        const bool musicDue = (TickCount < 75 && !mnuEffects.Checked) || TickCount >= 75;
        if (musicDue && running(*this) && !MusicPlaying) {
            sndMusic->setPosition(0);
            sndMusic->play();
            MusicPlaying = true;
        }
    }
    mnuMusic.Checked = !mnuMusic.Checked;
}

void Form::mnuEffects_Click() {
    mnuEffects.Checked = !mnuEffects.Checked;
    sndStart->stop();
    sndCrash->stop();
}

void Form::mnuExit_Click() {
    stopAllSounds(*this);
    ExitRequested = true;
    Die();
}

void Form::sndMusic_event9() {
    const int mode = sndMusic->mode();
    if ((mode == kModeStopped || mode == kModePlaying) && running(*this) && MusicPlaying) {
        sndMusic->setPosition(0);
        sndMusic->play();
    }
}

} // namespace kestrada
