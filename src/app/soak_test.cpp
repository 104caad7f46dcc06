// SPDX-License-Identifier: GPL-3.0-or-later
// Seeded sessions played through the handlers, restarting in the same folder
// after Exit; after every event and tick, the rules that always hold.
#include "app/key_codes.h"
#include "app/score_text.h"
#include "testing/test_game.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <gtest/gtest.h>
#include <map>
#include <memory>
#include <random>
#include <string>
#include <utility>

namespace kestrada {
namespace {

using testing::TestGame;
constexpr uint32_t kSeeds = 16;
constexpr int kTicksPerSeed = 15000;

// The menu commands a restless player clicks.
using Click = void (Form::*)();
constexpr std::array<Click, 8> kClicks = {&Form::mnuNew_Click,        &Form::mnuPause_Click,
                                          &Form::mnuMusic_Click,      &Form::mnuEffects_Click,
                                          &Form::mnuHowToPlay_Click,  &Form::mnuAbout_Click,
                                          &Form::mnuHighScores_Click, &Form::cmdNewGame_Click};
// Each vehicle, then its wreck; the player's own car last.
constexpr std::array<ControlId, 10> kVehicleWrecks = {
    ControlId::imgCiv1, ControlId::imgCiv1Crash, ControlId::imgCiv2, ControlId::imgCiv2Crash,
    ControlId::imgHog,  ControlId::imgHogCrash,  ControlId::imgMs,   ControlId::imgMdead,
    ControlId::imgCar,  ControlId::imgWreck};
// Each wreck, counted when it appears: one crash of every kind.
const std::array<std::pair<ControlId, const char*>, 5> kWreckNames = {{
    {ControlId::imgCiv1Crash, "civilian car 1 crashed"},
    {ControlId::imgCiv2Crash, "civilian car 2 crashed"},
    {ControlId::imgHogCrash, "road hog crashed"},
    {ControlId::imgMdead, "motorcycle crashed"},
    {ControlId::imgWreck, "player crashed"},
}};
constexpr std::array<int16_t, 9> kGameKeys = {kKeyEnter, kKeyEsc,  kKeySpace, kKeyLeft, kKeyUp,
                                              kKeyRight, kKeyDown, kKey1,     kKey2};

// How often the players reached what this soak is meant to shake.
using Tally = std::map<std::string, int>;

// Drives round what lies ahead, fires, stops and pauses now and then; a
// restless player also clicks menus, hits stray keys and quits.
class Player {
  public:
    Player(uint32_t seed, bool restless) : engine_(seed * 7919u + 1u), restless_(restless) {}

    // Returns true when the player quits the program.
    bool act(Form& f, Tally& tally) {
        if (restless_ && perMille(150)) {
            if (perMille(10)) {
                if (below(2) == 0) {
                    f.mnuExit_Click();
                } else {
                    f.Form_Unload();
                }
                return true;
            }
            if (!perMille(200)) {
                strayKey(f);
            } else {
                (f.*kClicks[below(kClicks.size())])();
                ++tally["clicks"];
            }
        } else if (f.GameOver && perMille(300)) {
            f.Form_KeyDown(kKeyEnter);
            ++tally["games"];
        } else if (f.lblPaused().Visible) {
            strayKey(f);
        } else if (!f.GameOver) {
            if (perMille(3)) {
                f.Form_KeyDown(kKeyEsc);
                ++tally["pauses"];
            } else {
                drive(f);
            }
        }
        return false;
    }

  private:
    // Raw engine output only, so the script is the same with every library.
    uint32_t below(uint32_t n) { return engine_() % n; }
    bool perMille(uint32_t n) { return below(1000) < n; }

    void press(Form& f, int16_t key, bool down) {
        const auto shift = int16_t(below(8));
        if (down) {
            f.Form_KeyDown(key, shift);
        } else {
            f.Form_KeyUp(key, shift);
        }
    }

    // Up more often than not, so games last; now and then any code at all.
    void strayKey(Form& f) {
        const int16_t code = perMille(300)   ? int16_t(kKeyUp)
                             : perMille(700) ? kGameKeys[below(kGameKeys.size())]
                                             : int16_t(below(256));
        press(f, code, perMille(code == kKeyUp ? 800 : 500));
    }

    // Keeps to its own side of a shown median and steers round what lies
    // ahead in its column; it does not always manage. Fires now and then.
    void drive(Form& f) {
        if (stopFor_ == 0 && perMille(4)) {
            stopFor_ = 40 + int(below(60));
        } else {
            stopFor_ = std::max(stopFor_ - 1, 0);
        }
        if (perMille(10)) {
            lane_ = 100 + float(below(245));
        }
        const Control& car = f.picCar();
        const bool split = f.picSplit().Visible;
        const bool rightSide = car.Left > 240;
        const float low = split && rightSide ? 290 : 100;
        const float high = split && !rightSide ? 170 : 335;
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
        if (perMille(40)) {
            int16_t key = kKeySpace;
            if (!perMille(750)) {
                key = below(2) == 0 ? kKey1 : kKey2;
            }
            f.Form_KeyDown(key);
        }
    }

    std::mt19937 engine_;
    bool restless_;
    float lane_ = 320;
    int stopFor_ = 0;
};

// The rules broken after an event, or after a tick given the game before it.
std::string brokenRule(const Form& f, const Form* before = nullptr) {
    std::string out;
    const auto rule = [&out](bool holds, const char* what) {
        out += holds ? "" : std::string(what) + "; ";
    };
    const bool paused = f.lblPaused().Visible;
    rule(f.tmrMain.Enabled == (!paused && !f.GameOver), "the timer runs while stopped");
    rule(f.mnuPause.Caption == (paused ? "Un&pause" : "&Pause"), "pause caption");
    rule(f.mnuPause.Enabled == !f.GameOver, "pause offered only in a game");
    for (std::size_t i = 0; i < kVehicleWrecks.size(); i += 2) {
        const ControlId wreck = kVehicleWrecks[i + 1];
        const Control& w = f.control(wreck);
        rule(!f.control(kVehicleWrecks[i]).Visible || !w.Visible, "a vehicle shown with its wreck");
        // Wrecks only ever move down, the player's own aside.
        rule(!before || wreck == ControlId::imgWreck || !w.Visible ||
                 !before->control(wreck).Visible || w.Top >= before->control(wreck).Top,
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
    if (f.GameOver) {
        rule(f.imgWreck().Left == f.picCar().Left, "the wreck's Left is not the car's");
        rule(f.imgWreck().Top == f.picCar().Top, "the wreck's Top is not the car's");
        rule(f.lblScore().Caption == before->lblScore().Caption, "the score ran on after a crash");
        rule(f.linSpeed.X2 == before->linSpeed.X2, "the needle ran on after a crash");
        rule(f.linSpeed.Y2 == before->linSpeed.Y2, "the needle ran on after a crash");
        rule(f.lblSpeed().Caption == "0", "the speed read-out is not 0 after a crash");
        rule(!f.linSpeed.Visible, "the needle shown after a crash");
    }
    return out;
}

// One seed: program runs one after another in the same folder, each ended
// by Exit, until the tick budget is spent. Returns the first broken rule.
std::string playSession(uint32_t seed, Tally& tally) {
    Player player(seed, seed % 2 == 0);
    testing::ScratchDir dir;
    std::unique_ptr<TestGame> game;
    double best = 0;
    int runs = 0;
    const auto shown = [&] { return leadingNumber(game->form.lblHighScore().Caption); };
    // The best score never shrinks, and whenever it grows the file has it.
    const auto bestScoreRule = [&]() -> std::string {
        const double now = shown();
        if (now > best) {
            ++tally["bestRaised"];
            const std::string saved = "\"" + game->form.lblHighScore().Caption + "\"\r\n";
            if (testing::fileText(dir.path() / kHighScoreFileName) != saved) {
                return "a new best score was not saved";
            }
        }
        best = std::max(best, now);
        return now < best ? "the best score shrank" : "";
    };
    // A fresh start reads back the best score the last run saved.
    const auto start = [&]() -> std::string {
        game = std::make_unique<TestGame>(seed * 1000 + uint32_t(runs++), true, dir.path());
        ++tally["games"];
        const bool kept = shown() >= best;
        best = shown();
        return kept ? "" : "the best score shrank across a restart";
    };
    std::string broken = start();
    for (int ticks = 0; ticks < kTicksPerSeed && broken.empty();) {
        Form& f = game->form;
        if (player.act(f, tally)) {
            ++tally["exits"];
            broken = game->host.ended ? bestScoreRule() : "Exit did not end the program";
            if (broken.empty()) {
                broken = start();
            }
            continue;
        }
        broken = brokenRule(f);
        if (f.tmrMain.Enabled) {
            const Form before = f;
            f.tmrMain_Timer();
            ++ticks;
            for (const auto& [wreck, name] : kWreckNames) {
                if (f.control(wreck).Visible && !before.control(wreck).Visible) {
                    ++tally[name];
                }
            }
            if (f.imgHog().Visible) {
                ++tally["hog seen"];
            }
            broken += brokenRule(f, &before);
        }
        broken += bestScoreRule();
        if (!broken.empty()) {
            return "run " + std::to_string(runs) + ", tick " + std::to_string(f.TickCount) +
                   " of the game: " + broken;
        }
    }
    return broken;
}

TEST(Soak, ManySeededSessionsKeepTheRulesAfterEveryEventAndTick) {
    Tally tally;
    for (uint32_t seed = 1; seed <= kSeeds; ++seed) {
        EXPECT_EQ(playSession(seed, tally), "") << "seed " << seed;
    }
    // Every kind of event the soak is for happened at least once.
    for (const char* what : {"games", "pauses", "clicks", "exits", "bestRaised", "hog seen"}) {
        EXPECT_GE(tally[what], 1) << what;
    }
    for (const auto& [wreck, name] : kWreckNames) {
        EXPECT_GE(tally[name], 1) << name;
    }
}

} // namespace
} // namespace kestrada
