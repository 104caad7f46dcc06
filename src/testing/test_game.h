// SPDX-License-Identifier: GPL-3.0-or-later
// A whole game wired to silent players and a scratch folder.
#pragma once

#include "app/form.h"
#include "app/host.h"
#include "session/game.h"
#include "sound/silent_sound_player.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

namespace kestrada::testing {

// Help and About close at once; the last dialog asked for and Exit are noted.
class RecordingHost : public Host {
  public:
    uint32_t millisecondsSinceMidnight() override { return 12345; }
    void showHelp() override { dialog = "help"; }
    void showMessage(const std::string& title, const std::string&) override { dialog = title; }
    void endProgram() override { ended = true; }
    std::string dialog; // "help", or the last message's title
    bool ended = false;
};

// A fresh folder under the system's temp folder, removed afterwards.
class ScratchDir {
  public:
    ScratchDir() {
        std::string name = std::filesystem::temp_directory_path() / "kestrada-test-XXXXXX";
        if (::mkdtemp(name.data()) == nullptr) {
            throw std::runtime_error("no scratch folder: " + name);
        }
        path_ = name;
    }
    ~ScratchDir() {
        std::error_code ec;
        std::filesystem::permissions(path_, std::filesystem::perms::owner_all,
                                     std::filesystem::perm_options::add, ec);
        std::filesystem::remove_all(path_, ec);
    }
    ScratchDir(const ScratchDir&) = delete;
    ScratchDir& operator=(const ScratchDir&) = delete;
    const std::filesystem::path& path() const { return path_; }

  private:
    std::filesystem::path path_;
};

inline std::string fileText(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

inline void writeFile(const std::filesystem::path& file, const std::string& bytes) {
    std::ofstream(file, std::ios::binary) << bytes;
}

// What a test game plays through, made before the game and open to the test.
struct TestGameServices {
    ScratchDir dir;
    std::vector<std::string> soundLog;
    SilentSoundPlayer sndStart{"sndStart", &soundLog};
    SilentSoundPlayer sndCrash{"sndCrash", &soundLog};
    SilentSoundPlayer sndMusic{"sndMusic", &soundLog};
    RecordingHost host;
};

// The session's game on silent players and a scratch folder, its form open
// for the test to set a state up by hand.
struct TestGame : TestGameServices, session::Game {
    // Runs Form_Load unless told otherwise. The high score is kept in
    // scoreDir when one is given, else in the scratch folder.
    explicit TestGame(uint32_t seed = 1, bool load = true,
                      const std::optional<std::filesystem::path>& scoreDir = {})
        : Game({sndStart, sndCrash, sndMusic}, host,
               {.folders = {dir.path(), scoreDir.value_or(dir.path())}, .seed = seed}),
          scoreFile_(scoreDir.value_or(dir.path()) / "Kestrada.txt"), form(editableForm()) {
        if (load) {
            start();
        }
    }

    // Runs n ticks, or fewer when the timer stops.
    void ticks(int n) {
        for (int i = 0; i < n && form.tmrMain.Enabled; ++i) {
            form.tmrMain_Timer();
        }
    }

    std::filesystem::path highScoreFile() const { return scoreFile_; }

  private:
    std::filesystem::path scoreFile_;

  public:
    Form& form;
};

} // namespace kestrada::testing
