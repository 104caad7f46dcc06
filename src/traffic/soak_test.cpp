// Plays many seeded games with purposeful and random input through the key
// handlers, checking after every tick what must hold whatever happens.
#include "app/key_codes.h"
#include "testing/test_game.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <gtest/gtest.h>
#include <random>
#include <sstream>
#include <string>

namespace kestrada {
namespace {

using testing::TestGame;

constexpr int kSeeds = 20;
constexpr int kTicksPerSeed = 20000;

// Raw engine output only, so the script is the same with every library.
class Dice {
  public:
    explicit Dice(uint32_t seed) : engine_(seed) {}
    uint32_t below(uint32_t n) { return engine_() % n; }
    bool perMille(uint32_t n) { return below(1000) < n; }

  private:
    std::mt19937 engine_;
};

struct Tally {
    int games = 0;
    int pauses = 0;
    int hogsSeen = 0;
    std::array<int, 4> wrecksSeen{};
    double bestScore = 0;
};

// Mostly drives like a player would: holds Up, keeps to a chosen lane,
// fires now and then. Sometimes it stops dead, mashes arrows at random,
// pauses, or starts a new game mid-play.
class Pilot {
  public:
    explicit Pilot(uint32_t seed) : dice_(seed * 7919u + 1u) {}

    void act(Form& f, Tally& tally) {
        if (f.GameOver) {
            if (dice_.perMille(300)) {
                f.Form_KeyDown(kKeyEnter);
                ++tally.games;
                release(f);
            }
            return;
        }
        if (f.lblPaused().Visible) {
            randomKey(f);
            if (dice_.perMille(100)) {
                f.Form_KeyDown(kKeyEsc);
            }
            return;
        }
        if (dice_.perMille(3)) {
            f.Form_KeyDown(kKeyEsc);
            ++tally.pauses;
            return;
        }
        if (dice_.perMille(1)) {
            f.mnuNew_Click();
            ++tally.games;
            return;
        }
        if (stopFor_ == 0 && dice_.perMille(4)) {
            stopFor_ = 40 + int(dice_.below(60));
        }
        if (mashFor_ == 0 && dice_.perMille(2)) {
            mashFor_ = 10 + int(dice_.below(40));
        }
        if (dice_.perMille(10)) {
            lane_ = 100 + float(dice_.below(245));
        }
        if (mashFor_ > 0) {
            --mashFor_;
            randomKey(f);
        } else {
            drive(f);
        }
        if (dice_.perMille(30)) {
            f.Form_KeyDown(kKeySpace);
        }
        if (dice_.perMille(10)) {
            f.Form_KeyDown(dice_.below(2) == 0 ? kKey1 : kKey2);
        }
    }

  private:
    void press(Form& f, int16_t key, bool down) {
        if (down) {
            f.Form_KeyDown(key);
        } else {
            f.Form_KeyUp(key);
        }
    }

    void release(Form& f) {
        for (int16_t key : {kKeyUp, kKeyDown, kKeyLeft, kKeyRight}) {
            f.Form_KeyUp(key);
        }
        stopFor_ = 0;
        mashFor_ = 0;
    }

    void randomKey(Form& f) {
        static constexpr int16_t kArrows[] = {kKeyUp, kKeyDown, kKeyLeft, kKeyRight};
        if (dice_.perMille(300)) {
            press(f, kArrows[dice_.below(4)], dice_.below(2) == 0);
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

    Dice dice_;
    float lane_ = 320;
    int stopFor_ = 0;
    int mashFor_ = 0;
};

struct WreckTops {
    std::array<bool, 4> shown{};
    std::array<float, 4> top{};
};

constexpr std::array<ControlId, 4> kVehicles = {ControlId::imgCiv1, ControlId::imgCiv2,
                                                ControlId::imgHog, ControlId::imgMs};
constexpr std::array<ControlId, 4> kWrecks = {ControlId::imgCiv1Crash, ControlId::imgCiv2Crash,
                                              ControlId::imgHogCrash, ControlId::imgMdead};

WreckTops wreckTops(const Form& f) {
    WreckTops w;
    for (std::size_t i = 0; i < kWrecks.size(); ++i) {
        w.shown[i] = f.control(kWrecks[i]).Visible;
        w.top[i] = f.control(kWrecks[i]).Top;
    }
    return w;
}

// What must hold after every tick; empty when all does.
std::string brokenRule(const Form& f, const WreckTops& before) {
    std::ostringstream out;
    for (std::size_t i = 0; i < kVehicles.size(); ++i) {
        const Control& wreck = f.control(kWrecks[i]);
        if (f.control(kVehicles[i]).Visible && wreck.Visible) {
            out << "vehicle " << i << " shown with its wreck; ";
        }
        if (before.shown[i] && wreck.Visible && wreck.Top < before.top[i]) {
            out << "wreck " << i << " moved up; ";
        }
    }
    if (f.RandomRoll < 1 || f.RandomRoll > 20) {
        out << "roll " << f.RandomRoll << "; ";
    }
    const int shownCraters = int(f.imgCrater(0).Visible) + int(f.imgCrater(1).Visible);
    if (f.CratersInPlay != shownCraters) {
        out << "CratersInPlay " << f.CratersInPlay << " with " << shownCraters << " shown; ";
    }
    // A tick cut short by a crash may leave a bumped speed unlimited.
    if (!f.GameOver && (f.Speed < 0 || f.Speed > 25)) {
        out << "speed " << f.Speed << "; ";
    }
    for (int i = 1; i < 7; ++i) {
        double gap = std::fmod(double(f.imgMarker(i + 1).Top) - f.imgMarker(i).Top, 560.0);
        if (gap < 0) {
            gap += 560;
        }
        if (gap != 80) {
            out << "markers " << i << " and " << i + 1 << " " << gap << " apart; ";
        }
    }
    // The timer stops only by a crash: a tick never pauses the game.
    if (f.GameOver != !f.tmrMain.Enabled) {
        out << "GameOver " << f.GameOver << " with the timer " << f.tmrMain.Enabled << "; ";
    }
    return out.str();
}

void tallyTick(const Form& f, Tally& tally) {
    tally.hogsSeen += f.imgHog().Visible ? 1 : 0;
    for (std::size_t i = 0; i < kWrecks.size(); ++i) {
        tally.wrecksSeen[i] += f.control(kWrecks[i]).Visible ? 1 : 0;
    }
    tally.bestScore = std::max(tally.bestScore, f.Score);
}

// Runs one seeded game session; returns the final score and tick count as
// text so that two runs can be compared.
std::string soak(uint32_t seed, Tally& tally) {
    TestGame g(seed);
    Form& f = g.form;
    Pilot pilot(seed);
    ++tally.games;
    int ran = 0;
    while (ran < kTicksPerSeed) {
        pilot.act(f, tally);
        // The frame timer only fires while it is enabled.
        if (!f.tmrMain.Enabled) {
            continue;
        }
        const WreckTops before = wreckTops(f);
        f.tmrMain_Timer();
        ++ran;
        const std::string broken = brokenRule(f, before);
        EXPECT_EQ(broken, "") << "seed " << seed << ", tick " << ran << " of the session, "
                              << f.TickCount << " of the game";
        if (!broken.empty()) {
            break;
        }
        tallyTick(f, tally);
    }
    std::ostringstream digest;
    digest << f.Score << ' ' << f.TickCount << ' ' << f.picCar().Left << ' ' << f.Speed;
    return digest.str();
}

TEST(Soak, ManySeededGamesKeepTheRulesAfterEveryTick) {
    Tally tally;
    for (uint32_t seed = 1; seed <= kSeeds; ++seed) {
        soak(seed, tally);
    }
    // The script reached the parts of the game it is meant to shake.
    EXPECT_GT(tally.games, kSeeds * 5);
    EXPECT_GT(tally.pauses, kSeeds);
    EXPECT_GT(tally.hogsSeen, 0);
    for (int seen : tally.wrecksSeen) {
        EXPECT_GT(seen, 0);
    }
    EXPECT_GT(tally.bestScore, 2500);
}

TEST(Soak, TheSameSeedAndInputPlayTheSameGame) {
    Tally first, second;
    EXPECT_EQ(soak(7, first), soak(7, second));
    EXPECT_EQ(first.games, second.games);
}

} // namespace
} // namespace kestrada
