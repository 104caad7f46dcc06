// Many seeded sessions of random keys and random menu commands, with Exit
// now and then and a fresh start of the program in the same folder. After
// every event and every tick the shell's own rules must hold: pause, timer
// and game over agree, a crash ends its tick, and the best score only grows.
#include "app/high_score_file.h"
#include "app/key_codes.h"
#include "testing/test_game.h"

#include <algorithm>
#include <array>
#include <fstream>
#include <gtest/gtest.h>
#include <iterator>
#include <memory>
#include <random>
#include <sstream>

namespace kestrada {
namespace {

using testing::ScratchDir;
using testing::TestGame;

constexpr uint32_t kSeeds = 12;
constexpr int kTicksPerSeed = 6000;

class Dice {
  public:
    explicit Dice(uint32_t seed) : engine_(seed) {}
    uint32_t below(uint32_t n) { return engine_() % n; }
    bool perMille(uint32_t n) { return below(1000) < n; }

  private:
    std::mt19937 engine_;
};

enum class Command {
    mnuNew,
    mnuPause,
    mnuMusic,
    mnuEffects,
    mnuHowToPlay,
    mnuAbout,
    mnuHighScores,
    cmdNewGame,
    musicEnded,
    count
};

struct Tally {
    int ticks = 0;
    int crashes = 0;
    int exits = 0;
    int bestRaised = 0;
    std::array<int, static_cast<std::size_t>(Command::count)> commands{};
};

constexpr std::array<int16_t, 9> kGameKeys = {kKeyEnter, kKeyEsc,  kKeySpace, kKeyLeft, kKeyUp,
                                              kKeyRight, kKeyDown, kKey1,     kKey2};
constexpr std::array<std::pair<ControlId, ControlId>, 5> kVehicleAndWreck = {{
    {ControlId::imgCiv1, ControlId::imgCiv1Crash},
    {ControlId::imgCiv2, ControlId::imgCiv2Crash},
    {ControlId::imgHog, ControlId::imgHogCrash},
    {ControlId::imgMs, ControlId::imgMdead},
    {ControlId::imgCar, ControlId::imgWreck},
}};

std::string fileText(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

double best(const Form& f) {
    return leadingNumber(f.lblHighScore().Caption);
}

// What must hold after any event or tick; empty when all does.
std::string brokenRule(const Form& f) {
    std::ostringstream out;
    const bool paused = f.lblPaused().Visible;
    if (f.tmrMain.Enabled != (!paused && !f.GameOver)) {
        out << "timer " << f.tmrMain.Enabled << " with paused " << paused << " and GameOver "
            << f.GameOver << "; ";
    }
    if (f.mnuPause.Caption != (paused ? "Un&pause" : "&Pause")) {
        out << "pause caption " << f.mnuPause.Caption << " with paused " << paused << "; ";
    }
    for (const auto& [vehicle, wreck] : kVehicleAndWreck) {
        if (f.control(vehicle).Visible && f.control(wreck).Visible) {
            out << "vehicle " << int(vehicle) << " shown with its wreck; ";
        }
    }
    const int shownCraters = int(f.imgCrater(0).Visible) + int(f.imgCrater(1).Visible);
    if (f.CratersInPlay != shownCraters) {
        out << "CratersInPlay " << f.CratersInPlay << " with " << shownCraters << " shown; ";
    }
    return out.str();
}

// What a tick must leave behind, beyond the rules above.
std::string brokenTickRule(const Form& f, const Form& before) {
    std::ostringstream out;
    if (f.RandomRoll < 1 || f.RandomRoll > 20) {
        out << "roll " << f.RandomRoll << "; ";
    }
    if (!f.GameOver) {
        // Only a tick cut short by a crash may leave a bumped speed as is.
        if (f.Speed < 0 || f.Speed > 25) {
            out << "speed " << f.Speed << "; ";
        }
        return out.str();
    }
    // The crash ended the tick at once: the car was not moved on and the
    // score and needle were not brought up to date after it.
    if (f.imgWreck().Left != f.picCar().Left || f.imgWreck().Top != f.picCar().Top) {
        out << "the car moved after its crash; ";
    }
    if (f.lblScore().Caption != before.lblScore().Caption || f.linSpeed.X2 != before.linSpeed.X2 ||
        f.linSpeed.Y2 != before.linSpeed.Y2) {
        out << "the score phase ran after the crash; ";
    }
    if (f.lblSpeed().Caption != "0" || f.linSpeed.Visible) {
        out << "the speed read-out survived the crash; ";
    }
    return out.str();
}

// One seed: program runs one after another in the same folder, each ending
// by Exit, until the tick budget is spent.
class Session {
  public:
    Session(uint32_t seed, Tally& tally) : seed_(seed), dice_(seed * 104729u + 3u), tally_(tally) {
        start();
    }

    // Returns false once a rule was broken.
    bool step() {
        const bool ticking = game_->form.tmrMain.Enabled && !dice_.perMille(150);
        return ticking ? tick() : event();
    }

    int ticks() const { return ticks_; }

  private:
    Form& form() { return game_->form; }

    void start() {
        game_ = std::make_unique<TestGame>(seed_ * 1000 + uint32_t(runs_++), false);
        form().appPath = dir_.path();
        form().Form_Load();
        // A fresh start reads back the best score the last run saved.
        check(best(form()) >= best_, "the best score shrank across a restart");
        best_ = best(form());
    }

    bool tick() {
        const Form before = form();
        form().tmrMain_Timer();
        ++ticks_;
        ++tally_.ticks;
        if (form().GameOver) {
            ++tally_.crashes;
        }
        check(brokenTickRule(form(), before), "tick");
        return afterEach();
    }

    bool event() {
        const uint32_t kind = dice_.below(1000);
        if (kind < 2) {
            return exitProgram();
        }
        if (kind < 200) {
            command(static_cast<Command>(dice_.below(uint32_t(Command::count))));
        } else {
            key();
        }
        return afterEach();
    }

    void key() {
        // Up is held more often than not, so games last and scores grow.
        const int16_t code = dice_.perMille(300)   ? int16_t(kKeyUp)
                             : dice_.perMille(700) ? kGameKeys[dice_.below(kGameKeys.size())]
                                                   : int16_t(dice_.below(256));
        if (dice_.perMille(code == kKeyUp ? 800 : 500)) {
            form().Form_KeyDown(code, int16_t(dice_.below(8)));
        } else {
            form().Form_KeyUp(code, int16_t(dice_.below(8)));
        }
    }

    void command(Command c) {
        ++tally_.commands[static_cast<std::size_t>(c)];
        Form& f = form();
        switch (c) {
        case Command::mnuNew:
            return f.mnuNew_Click();
        case Command::mnuPause:
            return f.mnuPause_Click();
        case Command::mnuMusic:
            return f.mnuMusic_Click();
        case Command::mnuEffects:
            return f.mnuEffects_Click();
        case Command::mnuHowToPlay:
            return f.mnuHowToPlay_Click();
        case Command::mnuAbout:
            return f.mnuAbout_Click();
        case Command::mnuHighScores:
            return f.mnuHighScores_Click();
        case Command::cmdNewGame:
            return f.cmdNewGame_Click();
        case Command::musicEnded:
            game_->sndMusic.finish();
            return f.sndMusic_event9();
        case Command::count:
            break;
        }
    }

    bool exitProgram() {
        ++tally_.exits;
        if (dice_.below(2) == 0) {
            form().mnuExit_Click();
        } else {
            form().Form_Unload();
        }
        check(game_->host.ended, "Exit did not end the program");
        if (!afterBestScore()) {
            return false;
        }
        start();
        return failure_.empty();
    }

    bool afterEach() {
        check(brokenRule(form()), "event");
        return afterBestScore();
    }

    // The best score never shrinks, and whenever it grows the file has it.
    bool afterBestScore() {
        const double now = best(form());
        check(now >= best_, "the best score shrank");
        if (now > best_) {
            ++tally_.bestRaised;
            const std::string saved = "\"" + form().lblHighScore().Caption + "\"\r\n";
            check(fileText(game_->form.appPath / "Kestrada.txt") == saved,
                  "a new best score was not saved");
        }
        best_ = std::max(best_, now);
        return failure_.empty();
    }

    void check(const std::string& broken, const char* when) {
        if (!broken.empty() && failure_.empty()) {
            failure_ = broken;
            ADD_FAILURE() << "seed " << seed_ << ", run " << runs_ << ", tick " << ticks_ << ", "
                          << when << ": " << broken;
        }
    }
    void check(bool holds, const char* what) { check(std::string(holds ? "" : what), "check"); }

    uint32_t seed_;
    Dice dice_;
    Tally& tally_;
    ScratchDir dir_;
    std::unique_ptr<TestGame> game_;
    int runs_ = 0;
    int ticks_ = 0;
    double best_ = 0;
    std::string failure_;
};

TEST(MenuSoak, RandomKeysAndMenuCommandsKeepTheShellConsistent) {
    Tally tally;
    for (uint32_t seed = 1; seed <= kSeeds; ++seed) {
        Session session(seed, tally);
        while (session.ticks() < kTicksPerSeed && session.step()) {
        }
    }
    std::cout << "ticks " << tally.ticks << ", crashes " << tally.crashes << ", exits "
              << tally.exits << ", best score raised " << tally.bestRaised << " times\n";
    // The dice reached what this soak is for.
    EXPECT_GT(tally.crashes, int(kSeeds));
    EXPECT_GT(tally.exits, int(kSeeds));
    EXPECT_GT(tally.bestRaised, int(kSeeds));
    for (const int used : tally.commands) {
        EXPECT_GT(used, 50);
    }
}

} // namespace
} // namespace kestrada
