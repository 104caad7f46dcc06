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
#include <sstream>

namespace kestrada {
namespace {

using testing::ScratchDir;
using testing::TestGame;

constexpr uint32_t kSeeds = 16;
constexpr int kTicksPerSeed = 15000;

// The menu commands a restless player clicks; the last slot is the end of
// the road music.
using Click = void (Form::*)();
constexpr std::array<Click, 8> kClicks = {&Form::mnuNew_Click,        &Form::mnuPause_Click,
                                          &Form::mnuMusic_Click,      &Form::mnuEffects_Click,
                                          &Form::mnuHowToPlay_Click,  &Form::mnuAbout_Click,
                                          &Form::mnuHighScores_Click, &Form::cmdNewGame_Click};

struct Tally {
    int games = 0;
    int pauses = 0;
    int crashes = 0;
    int exits = 0;
    int bestRaised = 0;
    int hogsSeen = 0;
    std::array<int, 4> wrecksSeen{};
    std::array<int, kClicks.size() + 1> commands{};
    double bestScore = 0;
};

constexpr std::array<ControlId, 5> kVehicles = {
    ControlId::imgCiv1, ControlId::imgCiv2, ControlId::imgHog, ControlId::imgMs, ControlId::imgCar};
constexpr std::array<ControlId, 5> kWrecks = {ControlId::imgCiv1Crash, ControlId::imgCiv2Crash,
                                              ControlId::imgHogCrash, ControlId::imgMdead,
                                              ControlId::imgWreck};
constexpr std::array<int16_t, 9> kGameKeys = {kKeyEnter, kKeyEsc,  kKeySpace, kKeyLeft, kKeyUp,
                                              kKeyRight, kKeyDown, kKey1,     kKey2};

// Mostly drives like a person would: holds Up, keeps to a chosen lane,
// fires now and then. Sometimes it stops dead, mashes keys, pauses or
// starts again; a restless player also clicks menus and hits stray keys.
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
            if (perMille(200)) {
                click(g, below(kClicks.size() + 1), tally);
            } else {
                strayKey(f);
            }
        } else if (f.GameOver) {
            if (perMille(300)) {
                f.Form_KeyDown(kKeyEnter);
                ++tally.games;
            }
        } else if (f.lblPaused().Visible) {
            strayKey(f);
        } else if (perMille(3)) {
            f.Form_KeyDown(kKeyEsc);
            ++tally.pauses;
        } else if (perMille(1)) {
            f.mnuNew_Click();
            ++tally.games;
        } else {
            play(f);
        }
        return false;
    }

    // Exit from the menu, or the window closed.
    void quit(Form& f) {
        if (below(2) == 0) {
            f.mnuExit_Click();
        } else {
            f.Form_Unload();
        }
    }

  private:
    // Raw engine output only, so the script is the same with every library.
    uint32_t below(uint32_t n) { return engine_() % n; }
    bool perMille(uint32_t n) { return below(1000) < n; }

    void press(Form& f, int16_t key, bool down) {
        if (down) {
            f.Form_KeyDown(key, int16_t(below(8)));
        } else {
            f.Form_KeyUp(key, int16_t(below(8)));
        }
    }

    // Up more often than not, so games last; now and then any code at all.
    void strayKey(Form& f) {
        const int16_t code = perMille(300)   ? int16_t(kKeyUp)
                             : perMille(700) ? kGameKeys[below(kGameKeys.size())]
                                             : int16_t(below(256));
        press(f, code, perMille(code == kKeyUp ? 800 : 500));
    }

    void click(TestGame& g, uint32_t which, Tally& tally) {
        ++tally.commands[which];
        if (which < kClicks.size()) {
            (g.form.*kClicks[which])();
        } else {
            g.sndMusic.finish();
            g.form.sndMusic_event9();
        }
    }

    void play(Form& f) {
        if (stopFor_ == 0 && perMille(4)) {
            stopFor_ = 40 + int(below(60));
        }
        if (mashFor_ == 0 && perMille(2)) {
            mashFor_ = 10 + int(below(40));
        }
        if (perMille(10)) {
            lane_ = 100 + float(below(245));
        }
        if (mashFor_ > 0) {
            --mashFor_;
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
    void pickLane(const Form& f) {
        const Control& car = f.picCar();
        float low = 100, high = 335;
        if (f.picSplit().Visible) {
            const bool rightSide = car.Left > 240;
            low = rightSide ? 290 : 100;
            high = rightSide ? 335 : 170;
        }
        const Control* obstacles[] = {&f.imgCrater(0),   &f.imgCrater(1), &f.imgCiv1Crash(),
                                      &f.imgCiv2Crash(), &f.imgCiv1(),    &f.imgCiv2()};
        for (const Control* o : obstacles) {
            const bool inColumn = o->Left < lane_ + 40 && o->Left + o->Width > lane_ - 15;
            const bool ahead = o->Top > car.Top - 220 && o->Top < car.Top + 50;
            if (o->Visible && inColumn && ahead) {
                lane_ = o->Left > lane_ ? o->Left - 45 : o->Left + o->Width + 20;
            }
        }
        lane_ = std::clamp(lane_, low, high);
    }

    void drive(Form& f) {
        const bool stopping = stopFor_ > 0;
        if (stopping) {
            --stopFor_;
        }
        pickLane(f);
        press(f, kKeyUp, !stopping);
        press(f, kKeyDown, stopping);
        const float left = f.picCar().Left;
        press(f, kKeyLeft, left > lane_ + 3);
        press(f, kKeyRight, left < lane_ - 3);
    }

    std::mt19937 engine_;
    bool restless_;
    float lane_ = 320;
    int stopFor_ = 0;
    int mashFor_ = 0;
};

// What a tick must not change and a crash must leave alone.
struct BeforeTick {
    explicit BeforeTick(const Form& f)
        : score(f.lblScore().Caption), needleX(f.linSpeed.X2), needleY(f.linSpeed.Y2) {
        for (std::size_t i = 0; i < 4; ++i) {
            wreckShown[i] = f.control(kWrecks[i]).Visible;
            wreckTop[i] = f.control(kWrecks[i]).Top;
        }
    }
    std::string score;
    float needleX, needleY;
    std::array<bool, 4> wreckShown{};
    std::array<float, 4> wreckTop{};
};

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
    for (std::size_t i = 0; i < kVehicles.size(); ++i) {
        if (f.control(kVehicles[i]).Visible && f.control(kWrecks[i]).Visible) {
            out << "vehicle " << i << " shown with its wreck; ";
        }
    }
    const int shownCraters = int(f.imgCrater(0).Visible) + int(f.imgCrater(1).Visible);
    if (f.CratersInPlay != shownCraters) {
        out << "CratersInPlay " << f.CratersInPlay << " with " << shownCraters << " shown; ";
    }
    for (int i = 1; i < 7; ++i) {
        double gap = std::fmod(double(f.imgMarker(i + 1).Top) - f.imgMarker(i).Top, 560.0);
        if ((gap < 0 ? gap + 560 : gap) != 80) {
            out << "markers " << i << " and " << i + 1 << " " << gap << " apart; ";
        }
    }
    return out.str();
}

// What a tick must leave behind, beyond the rules above.
std::string brokenTickRule(const Form& f, const BeforeTick& before) {
    std::ostringstream out;
    if (f.RandomRoll < 1 || f.RandomRoll > 20) {
        out << "roll " << f.RandomRoll << "; ";
    }
    for (std::size_t i = 0; i < 4; ++i) {
        const Control& wreck = f.control(kWrecks[i]);
        if (before.wreckShown[i] && wreck.Visible && wreck.Top < before.wreckTop[i]) {
            out << "wreck " << i << " moved up; ";
        }
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
    if (f.lblScore().Caption != before.score || f.linSpeed.X2 != before.needleX ||
        f.linSpeed.Y2 != before.needleY) {
        out << "the score phase ran after the crash; ";
    }
    if (f.lblSpeed().Caption != "0" || f.linSpeed.Visible) {
        out << "the speed read-out survived the crash; ";
    }
    return out.str();
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

    // Plays until the budget is spent or a rule breaks; a digest of where
    // the last game stands.
    std::string play(int tickBudget) {
        while (ticks_ < tickBudget && failure_.empty()) {
            if (player_.act(*game_, tally_)) {
                exitAndRestart();
                continue;
            }
            check(brokenRule(form()), "event");
            if (form().tmrMain.Enabled) {
                tick();
            }
            checkBestScore();
        }
        std::ostringstream digest;
        digest << form().Score << ' ' << form().TickCount << ' ' << form().picCar().Left << ' '
               << form().Speed << ' ' << runs_;
        return digest.str();
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

    void tick() {
        const BeforeTick before(form());
        form().tmrMain_Timer();
        ++ticks_;
        const Form& f = form();
        tally_.crashes += f.GameOver ? 1 : 0;
        tally_.hogsSeen += f.imgHog().Visible ? 1 : 0;
        for (std::size_t i = 0; i < 4; ++i) {
            tally_.wrecksSeen[i] += f.control(kWrecks[i]).Visible ? 1 : 0;
        }
        tally_.bestScore = std::max(tally_.bestScore, f.Score);
        check(brokenRule(f) + brokenTickRule(f, before), "tick");
    }

    void exitAndRestart() {
        ++tally_.exits;
        player_.quit(form());
        check(game_->host.ended ? "" : "Exit did not end the program", "exit");
        checkBestScore();
        start();
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
    ScratchDir dir_;
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
    EXPECT_GT(tally.games, int(kSeeds) * 5);
    EXPECT_GT(tally.pauses, int(kSeeds));
    EXPECT_GT(tally.crashes, int(kSeeds));
    EXPECT_GT(tally.exits, int(kSeeds));
    EXPECT_GT(tally.bestRaised, int(kSeeds));
    EXPECT_GT(tally.hogsSeen, 0);
    EXPECT_GT(tally.bestScore, 2500);
    for (const int seen : tally.wrecksSeen) {
        EXPECT_GT(seen, 0);
    }
    for (const int used : tally.commands) {
        EXPECT_GT(used, 50);
    }
}

} // namespace
} // namespace kestrada
