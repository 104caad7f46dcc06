// SPDX-License-Identifier: GPL-3.0-or-later
// Die: the crash freezes the play field; on Exit it only saves the score.
#include "app/form.h"
#include "app/high_score_store.h"
#include "app/host.h"
#include "app/score_text.h"
#include "sound/sound_player.h"

#include <iostream>

namespace kestrada {

namespace {
void freezeAfterCrash(Form& f) {
    f.GameOver = true;
    f.tmrMain.Enabled = false;
    f.sndStart->stop();
    f.sndMusic->stop();
    f.MusicPlaying = false;
    f.lblSpeed().Caption = "0";
    f.linSpeed.Visible = false;
    f.mnuPause.Enabled = false;
    f.mousePointer = MousePointer::Default;

    f.imgSplit().Top = f.picSplit().Top;
    f.imgSplit().Visible = true;
    f.bringToFront(ControlId::imgSplit);
    f.picSplit().Visible = false;

    f.imgWreck().Left = f.picCar().Left;
    f.imgWreck().Top = f.picCar().Top;
    f.imgWreck().Visible = true;
    f.bringToFront(ControlId::imgWreck);
    f.imgCar().Visible = false;
    f.picCar().Visible = false;

    if (f.mnuEffects.Checked) {
        f.sndCrash->setPosition(0);
        f.sndCrash->play();
    }
}

// The player never sees a failed save: the label shows the new best all the
// same and the old file stays as it was. One line on stderr says the score
// was not kept, so that a lost best can be traced.
void saveBeatenHighScore(Form& f) {
    const double high = leadingNumber(f.lblHighScore().Caption);
    const double score = leadingNumber(f.lblScore().Caption);
    if (high < score) {
        f.lblHighScore().Caption = f.lblScore().Caption;
        if (f.highScoreStore == nullptr) {
            return;
        }
        HighScoreStore& store = *f.highScoreStore;
        const BestSave save = store.save(f.lblHighScore().Caption);
        if (save.storedBest) {
            // Another game saved a higher best meanwhile: it stands.
            f.lblHighScore().Caption = *save.storedBest;
        } else if (!save.saved) {
            std::cerr << "kestrada: high score " << f.lblHighScore().Caption << " not saved to "
                      << store.where() << ": " << save.failure << '\n';
        }
    }
}
} // namespace

void Form::Die() {
    if (!ExitRequested) {
        freezeAfterCrash(*this);
    }
    saveBeatenHighScore(*this);
    if (ExitRequested) {
        host->endProgram();
        return;
    }
    imgCracked().Visible = true;
    imgDash().Visible = false;
}

void Form::mnuHighScores_Click() {
    UpHeld = 0;
    DownHeld = 0;
    LeftHeld = 0;
    RightHeld = 0;
    imgWreck().Visible = false;
}

} // namespace kestrada
