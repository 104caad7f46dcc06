// SPDX-License-Identifier: GPL-3.0-or-later
// One game as every front end plays it: the form, wired when the game is
// made to its sound players, its host, its folders and its high-score
// store, so that none can be forgotten or swapped afterwards. The slot
// runner drives it; the front ends draw what form() shows.
#pragma once

#include "app/form.h"
#include "app/host.h"
#include "session/input_file.h"
#include "session/slot_runner.h"
#include "sound/silent_sound_player.h"
#include "storage/game_folders.h"
#include "storage/high_score_file.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace kestrada::session {

// The three players the form plays through; they outlive the game.
struct SoundPlayers {
    SoundPlayer& start;
    SoundPlayer& crash;
    SoundPlayer& music;
};

// Where the game finds its files and from what it starts.
struct GameSetup {
    GameFolders folders;
    // Replaces the time of day as the seed.
    std::optional<uint32_t> seed;
    // Where the best score is kept; none for the file in folders.highScore.
    HighScoreStore* highScoreStore = nullptr;
};

class Game : public SlotGame {
  public:
    // Plays through the front end's own players, which report the end of
    // the music themselves.
    Game(SoundPlayers players, Host& host, const GameSetup& setup);
    // Plays through silent players that note every call for takeSounds().
    Game(Host& host, const GameSetup& setup);
    Game(const Game&) = delete;
    Game& operator=(const Game&) = delete;

    // Form_Load, as at program start.
    void start() { form_.Form_Load(); }
    void handle(const InputEvent& event) override;
    bool tick() override;
    // Exit has run: the host was asked to end the program.
    bool ended() const override { return host_.ended(); }

    const Form& form() const { return form_; }

    // The silent players' calls since the last take, "<player>.<op>";
    // always empty when the front end plays its own.
    std::vector<std::string> takeSounds();
    // Every player stops and goes back to its start: a game put aside for
    // good leaves no sound playing behind it.
    void silence();

  protected:
    // For the tests and benches that set a state up by hand.
    Form& editableForm() { return form_; }

  private:
    // The front end's host, with the end of the program noted on its way.
    class EndNotingHost : public Host {
      public:
        explicit EndNotingHost(Host& host) : host_(host) {}
        uint32_t millisecondsSinceMidnight() override { return host_.millisecondsSinceMidnight(); }
        void showHelp() override { host_.showHelp(); }
        void showMessage(const std::string& title, const std::string& text) override {
            host_.showMessage(title, text);
        }
        void endProgram() override;
        bool ended() const { return ended_; }

      private:
        Host& host_;
        bool ended_ = false;
    };

    struct SilentPlayers {
        // Declared here, made in game.cpp: a nested class's member
        // initialisers are not usable before its enclosing class is complete.
        SilentPlayers();
        std::vector<std::string> log;
        SilentSoundPlayer start{"sndStart", &log};
        SilentSoundPlayer crash{"sndCrash", &log};
        SilentSoundPlayer music{"sndMusic", &log};
    };

    void wire(SoundPlayers players, const GameSetup& setup);

    std::optional<SilentPlayers> silent_;
    // The high-score file, when no other store was given.
    std::optional<FileHighScoreStore> fileStore_;
    EndNotingHost host_;
    Form form_;
};

} // namespace kestrada::session
