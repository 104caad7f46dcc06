// Many seeded sessions played through the handlers: a player who mostly
// drives with purpose, and who on some seeds also reaches for the menus,
// stray keys and Exit, starting the program again in the same folder. After
// every event and every tick the rules that hold whatever happens are checked.
#include "app/high_score_file.h"
#include "app/key_codes.h"
#include "testing/test_game.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <gtest/gtest.h>
#include <memory>
#include <random>

namespace kestrada {
namespace {

using testing::TestGame;

constexpr uint32_t kSeeds = 16;
constexpr int kTicksPerSeed = 15000;

// The menu commands a restless player clicks; one more is the music's end.
using Click = void (Form::*)();
constexpr std::array<Click, 8> kClicks = {&Form::mnuNew_Click,        &Form::mnuPause_Click,
                                          &Form::mnuMusic_Click,      &Form::mnuEffects_Click,
                                          &Form::mnuHowToPlay_Click,  &Form::mnuAbout_Click,
                                          &Form::mnuHighScores_Click, &Form::cmdNewGame_Click};
constexpr std::array<ControlId, 5> kVehicles = {
    ControlId::imgCiv1, ControlId::imgCiv2, ControlId::imgHog, ControlId::imgMs, ControlId::imgCar};
constexpr std::array<ControlId, 5> kWrecks = {ControlId::imgCiv1Crash, ControlId::imgCiv2Crash,
                                              ControlId::imgHogCrash, ControlId::imgMdead,
                                              ControlId::imgWreck};
constexpr std::array<int16_t, 9> kGameKeys = {kKeyEnter, kKeyEsc,  kKeySpace, kKeyLeft, kKeyUp,
                                              kKeyRight, kKeyDown, kKey1,     kKey2};

struct Tally {
    int games = 0, pauses = 0, crashes = 0, exits = 0, bestRaised = 0, hogsSeen = 0, clicks = 0;
    double bestScore = 0;
};

// Mostly drives like a person would, keeping clear of what lies ahead and
// firing now and then; sometimes it stops, mashes keys or pauses. A restless
// player also clicks menus and hits stray keys.
class Player {
  public:
    Player(uint32_t seed, bool restless) : engine_(seed * 7919u + 1u), restless_(restless) {}

    // Returns true when the player quits the program.
    bool act(TestGame& g, Tally& tally) {
        Form& f = g.form;
        if (restless_ && perMille(150)) {
            if (perMille(10)) {
                return true;
            }
            if (!perMille(200)) {
                strayKey(f);
            } else if (const uint32_t which = below(kClicks.size() + 1); which < kClicks.size()) {
                (f.*kClicks[which])();
                ++tally.clicks;
            } else {
                g.sndMusic.finish();
                f.sndMusic_event9();
            }
        } else if (f.GameOver && perMille(300)) {
            f.Form_KeyDown(kKeyEnter);
            ++tally.games;
        } else if (f.lblPaused().Visible) {
            strayKey(f);
        } else if (!f.GameOver && perMille(3)) {
            f.Form_KeyDown(kKeyEsc);
            ++tally.pauses;
        } else if (!f.GameOver) {
            play(f);
        }
        return false;
    }

    // Exit from the menu, or the window closed.
    void quit(Form& f) { below(2) == 0 ? f.mnuExit_Click() : f.Form_Unload(); }

  private:
    // Raw engine output only, so the script is the same with every library.
    uint32_t below(uint32_t n) { return engine_() % n; }
    bool perMille(uint32_t n) { return below(1000) < n; }

    void press(Form& f, int16_t key, bool down) {
        down ? f.Form_KeyDown(key, int16_t(below(8))) : f.Form_KeyUp(key, int16_t(below(8)));
    }

    // Up more often than not, so games last; now and then any code at all.
    void strayKey(Form& f) {
        const int16_t code = perMille(300)   ? int16_t(kKeyUp)
                             : perMille(700) ? kGameKeys[below(kGameKeys.size())]
                                             : int16_t(below(256));
        press(f, code, perMille(code == kKeyUp ? 800 : 500));
    }

    void play(Form& f) {
        stopFor_ = stopFor_ == 0 && perMille(4) ? 40 + int(below(60)) : std::max(stopFor_ - 1, 0);
        mashFor_ = mashFor_ == 0 && perMille(2) ? 10 + int(below(40)) : std::max(mashFor_ - 1, 0);
        lane_ = perMille(10) ? 100 + float(below(245)) : lane_;
        if (mashFor_ > 0) {
            strayKey(f);
        } else {
            drive(f);
        }
        if (perMille(30)) {
            f.Form_KeyDown(kKeySpace);
        }
        if (perMille(10)) {
            f.Form_KeyDown(below(2) == 0 ? kKey1 : kKey2);
        }
    }

    // Keeps to its own side of a shown median and steers round what lies
    // ahead in its column; it does not always manage.
    void drive(Form& f) {
        const Control& car = f.picCar();
        const bool rightSide = car.Left > 240;
        const float low = f.picSplit().Visible && rightSide ? 290 : 100;
        const float high = f.picSplit().Visible && !rightSide ? 170 : 335;
        for (const Control* o : {&f.imgCrater(0), &f.imgCrater(1), &f.imgCiv1Crash(),
                                 &f.imgCiv2Crash(), &f.imgCiv1(), &f.imgCiv2()}) {
            const bool inColumn = o->Left < lane_ + 40 && o->Left + o->Width > lane_ - 15;
            if (o->Visible && inColumn && o->Top > car.Top - 220 && o->Top < car.Top + 50) {
                lane_ = o->Left > lane_ ? o->Left - 45 : o->Left + o->Width + 20;
            }
        }
        lane_ = std::clamp(lane_, low, high);
        press(f, kKeyUp, stopFor_ == 0);
        press(f, kKeyDown, stopFor_ > 0);
        press(f, kKeyLeft, car.Left > lane_ + 3);
        press(f, kKeyRight, car.Left < lane_ - 3);
    }

    std::mt19937 engine_;
    bool restless_;
    float lane_ = 320;
    int stopFor_ = 0;
    int mashFor_ = 0;
};

// What a tick must leave alone when it crashes, and the wrecks' places
// (which only ever move down), as they stood before it.
struct BeforeTick {
    std::string score;
    float needleX, needleY;
    std::array<float, 4> wreckTop;
};

BeforeTick beforeTick(const Form& f) {
    BeforeTick b{f.lblScore().Caption, f.linSpeed.X2, f.linSpeed.Y2, {}};
    for (std::size_t i = 0; i < 4; ++i) {
        b.wreckTop[i] = f.control(kWrecks[i]).Visible ? f.control(kWrecks[i]).Top : -1e9f;
    }
    return b;
}

// What must hold after any event or, given what stood before, any tick;
// empty when all does.
std::string brokenRule(const Form& f, const BeforeTick* before = nullptr) {
    std::string out;
    const auto rule = [&out](bool holds, const char* what) {
        out += holds ? "" : std::string(what) + "; ";
    };
    const bool paused = f.lblPaused().Visible;
    rule(f.tmrMain.Enabled == (!paused && !f.GameOver), "the timer runs while stopped");
    rule(f.mnuPause.Caption == (paused ? "Un&pause" : "&Pause"), "pause caption");
    for (std::size_t i = 0; i < kVehicles.size(); ++i) {
        rule(!f.control(kVehicles[i]).Visible || !f.control(kWrecks[i]).Visible,
             "a vehicle shown with its wreck");
        rule(!before || i == 4 || !f.control(kWrecks[i]).Visible ||
                 f.control(kWrecks[i]).Top >= before->wreckTop[i],
             "a wreck moved up");
    }
    rule(f.CratersInPlay == int(f.imgCrater(0).Visible) + int(f.imgCrater(1).Visible),
         "CratersInPlay");
    for (int i = 1; i < 7; ++i) {
        const double gap = std::fmod(double(f.imgMarker(i + 1).Top) - f.imgMarker(i).Top, 560.0);
        rule(gap == 80 || gap == -480, "markers out of step");
    }
    if (before == nullptr) {
        return out;
    }
    rule(f.RandomRoll >= 1 && f.RandomRoll <= 20, "roll");
    // Only a tick cut short by a crash may leave a bumped speed as is; the
    // crash ends the tick at once, before the car, score and needle move.
    rule(f.GameOver || (f.Speed >= 0 && f.Speed <= 25), "speed");
    rule(!f.GameOver ||
             (f.imgWreck().Left == f.picCar().Left && f.imgWreck().Top == f.picCar().Top &&
              f.lblScore().Caption == before->score && f.linSpeed.X2 == before->needleX &&
              f.linSpeed.Y2 == before->needleY && f.lblSpeed().Caption == "0" &&
              !f.linSpeed.Visible),
         "the tick ran on after the crash");
    return out;
}

double best(const Form& f) {
    return leadingNumber(f.lblHighScore().Caption);
}

// One seed: program runs one after another in the same folder, each ended
// by Exit, until the tick budget is spent.
class Session {
  public:
    Session(uint32_t seed, Tally& tally)
        : seed_(seed), player_(seed, seed % 2 == 0), tally_(tally) {
        start();
    }

    void play(int tickBudget) {
        while (ticks_ < tickBudget && failure_.empty()) {
            if (player_.act(*game_, tally_)) {
                ++tally_.exits;
                player_.quit(form());
                check(game_->host.ended ? "" : "Exit did not end the program", "exit");
                checkBestScore();
                start();
                continue;
            }
            check(brokenRule(form()), "event");
            if (form().tmrMain.Enabled) {
                const BeforeTick before = beforeTick(form());
                form().tmrMain_Timer();
                ++ticks_;
                tally_.crashes += form().GameOver ? 1 : 0;
                tally_.hogsSeen += form().imgHog().Visible ? 1 : 0;
                tally_.bestScore = std::max(tally_.bestScore, form().Score);
                check(brokenRule(form(), &before), "tick");
            }
            checkBestScore();
        }
    }

  private:
    Form& form() { return game_->form; }

    void start() {
        game_ = std::make_unique<TestGame>(seed_ * 1000 + uint32_t(runs_++), false);
        form().appPath = dir_.path();
        form().Form_Load();
        ++tally_.games;
        // A fresh start reads back the best score the last run saved.
        check(best(form()) >= best_ ? "" : "the best score shrank across a restart", "start");
        best_ = best(form());
    }

    // The best score never shrinks, and whenever it grows the file has it.
    void checkBestScore() {
        const double now = best(form());
        check(now >= best_ ? "" : "the best score shrank", "best score");
        if (now > best_) {
            ++tally_.bestRaised;
            const std::string saved = "\"" + form().lblHighScore().Caption + "\"\r\n";
            check(testing::fileText(dir_.path() / kHighScoreFileName) == saved
                      ? ""
                      : "a new best score was not saved",
                  "best score");
        }
        best_ = std::max(best_, now);
    }

    void check(const std::string& broken, const char* when) {
        if (!broken.empty() && failure_.empty()) {
            failure_ = broken;
            ADD_FAILURE() << "seed " << seed_ << ", run " << runs_ << ", tick " << ticks_
                          << " of the session, " << form().TickCount << " of the game, " << when
                          << ": " << broken;
        }
    }

    uint32_t seed_;
    Player player_;
    Tally& tally_;
    testing::ScratchDir dir_;
    std::unique_ptr<TestGame> game_;
    int runs_ = 0;
    int ticks_ = 0;
    double best_ = 0;
    std::string failure_;
};

TEST(Soak, ManySeededSessionsKeepTheRulesAfterEveryEventAndTick) {
    Tally tally;
    for (uint32_t seed = 1; seed <= kSeeds; ++seed) {
        Session(seed, tally).play(kTicksPerSeed);
    }
    std::cout << "games " << tally.games << ", crashes " << tally.crashes << ", exits "
              << tally.exits << ", best score " << tally.bestScore << ", raised "
              << tally.bestRaised << " times\n";
    // The players reached the parts of the game this soak is meant to shake.
    const int seeds = int(kSeeds);
    for (const int reached : {tally.games / 5, tally.pauses, tally.crashes, tally.exits,
                              tally.bestRaised, tally.clicks / 50}) {
        EXPECT_GT(reached, seeds);
    }
    EXPECT_GT(tally.hogsSeen, 0);
    EXPECT_GT(tally.bestScore, 2500);
}

} // namespace
} // namespace kestrada
