// SPDX-License-Identifier: GPL-3.0-or-later
// A road set up and read back as one line of text, a rule's case per row:
//   "Speed 10 picCar 200 300 1 imgCiv1.Left 150 lblSpeed.Caption 60"
// A sprite takes Left, Top and Visible; a dotted name one of them or a
// Caption. Rows run single phases, so only the phases under test move things.
#pragma once

#include "hazards/craters.h"
#include "hazards/median.h"
#include "hazards/road_markers.h"
#include "hazards/wrecks.h"
#include "testing/test_game.h"
#include "tick/head_phase.h"
#include "tick/player_car.h"
#include "tick/score_display.h"
#include "traffic/civilian_cars.h"
#include "traffic/motorcycle.h"
#include "traffic/road_hog.h"
#include "traffic/vehicle_collisions.h"
#include "weapons/weapon_flight.h"
#include "weapons/weapon_hits.h"

#include <cmath>
#include <functional>
#include <gtest/gtest.h>
#include <map>
#include <sstream>

namespace kestrada::testing {

// Winds the game's generator on until its next draw satisfies pred, so a
// test can choose the lane a vehicle or crater is about to get.
template <class Pred> void primeNextDraw(Form& f, Pred pred) {
    for (RandomGenerator peek = f.rng; !pred(peek.next()); peek = f.rng) {
        f.rng.next();
    }
}

// Calls visit(name, variable) for every game variable a row may name.
template <class Form_, class Visit> void eachVariable(Form_& f, Visit visit) {
    visit("Speed", f.Speed);
    visit("PrevSpeed", f.PrevSpeed);
    visit("TickCount", f.TickCount);
    visit("Score", f.Score);
    visit("RandomRoll", f.RandomRoll);
    visit("GameOver", f.GameOver);
    visit("CratersInPlay", f.CratersInPlay);
    visit("CraterIndex", f.CraterIndex);
    visit("MissileInFlight", f.MissileInFlight);
    visit("WeaponChoice", f.WeaponChoice);
    visit("Civ1Speed", f.Civ1Speed);
    visit("Civ2Speed", f.Civ2Speed);
    visit("HogSpeed", f.HogSpeed);
    visit("MotorcycleSpeed", f.MotorcycleSpeed);
    visit("UpHeld", f.UpHeld);
    visit("DownHeld", f.DownHeld);
    visit("LeftHeld", f.LeftHeld);
    visit("RightHeld", f.RightHeld);
    visit("PrevLeftHeld", f.PrevLeftHeld);
    visit("PrevRightHeld", f.PrevRightHeld);
    visit("OffRoad", f.OffRoad);
    visit("Civ1Bumped", f.Civ1Bumped);
    visit("Civ2Bumped", f.Civ2Bumped);
}

// Calls use(name, pointer to the value, value given) for each value a row
// names; returns the names it did not know.
template <class Form_, class Use> std::string walkRow(Form_& f, std::string_view row, Use use) {
    std::istringstream in{std::string(row)};
    std::string unknown;
    for (std::string name; in >> name;) {
        const auto dot = name.find('.');
        const std::string base = name.substr(0, dot);
        const std::string field = dot == std::string::npos ? "" : name.substr(dot + 1);
        bool known = false;
        eachVariable(f, [&](std::string_view n, auto& v) {
            double given = 0;
            if (n == base && in >> given) {
                use(name, &v, given);
                known = true;
            }
        });
        for (std::size_t i = 0; i < kControlCount && !known; ++i) {
            auto& c = f.control(ControlId(i));
            known = nameOf(ControlId(i)) == base;
            const auto number = [&](const char* part, auto* v) {
                double given = 0;
                if (known && (field.empty() || field == part) && in >> given) {
                    use(base + "." + part, v, given);
                }
            };
            number("Left", &c.Left);
            number("Top", &c.Top);
            number("Visible", &c.Visible);
            std::string caption;
            if (known && field == "Caption" && in >> caption) {
                use(name, &c.Caption, caption);
            }
        }
        unknown += known ? "" : name + " ";
    }
    return unknown;
}

inline void setRow(Form& f, std::string_view row) {
    const std::string unknown = walkRow(f, row, [](const std::string&, auto* v, auto given) {
        *v = static_cast<std::remove_reference_t<decltype(*v)>>(given);
    });
    EXPECT_EQ(unknown, "");
}

// The values that differ from the row, as "name actual (expected)".
inline std::string wrongInRow(const Form& f, std::string_view row) {
    std::ostringstream wrong;
    wrong << walkRow(f, row, [&](const std::string& name, const auto* v, auto want) {
        using T = std::remove_cv_t<std::remove_reference_t<decltype(*v)>>;
        bool same = false;
        if constexpr (std::is_same_v<T, std::string>) {
            same = *v == want;
        } else {
            same = std::abs(double(*v) - double(static_cast<T>(want))) < 1e-9;
        }
        if (!same) {
            wrong << name << ' ' << *v << " (" << want << ") ";
        }
    });
    return wrong.str();
}

// Runs the phases a row names, in order, or "tick" for the whole timer.
inline void runPhases(Form& f, std::string_view names) {
    static const std::map<std::string, std::function<void(Form&)>> phases = {
        {"tick", [](Form& g) { g.tmrMain_Timer(); }},
        {"head", headPhase},
        {"civ1", [](Form& g) { civilianCarPhase(g, CivilianCar::One); }},
        {"civ2", [](Form& g) { civilianCarPhase(g, CivilianCar::Two); }},
        {"hog", [](Form& g) { roadHogPhase(g); }},
        {"moto", motorcyclePhase},
        {"collide", vehicleCollisionPhase},
        {"hits", weaponHitPhase},
        {"median", [](Form& g) { playerMedianPhase(g); }},
        {"weapons", weaponPhase},
        {"craters", craterPhase},
        {"markers", markerPhase},
        {"wreckscroll", wreckScrollPhase},
        {"wrecks", [](Form& g) { wreckCollisionPhase(g); }},
        {"car", playerCarPhase},
        {"score", scorePhase}};
    std::istringstream in{std::string(names)};
    for (std::string name; in >> name;) {
        const auto it = phases.find(name);
        ASSERT_NE(it, phases.end()) << name;
        it->second(f);
    }
}

// One case of a rule: the road as given, the phases run, the road after.
struct Step {
    const char* given;
    const char* run;
    const char* then;
};

// Each step in a fresh game, on a tick where nothing enters the road, with
// the next random draw near the middle of the road, or at least X when the
// row starts with "draw X".
inline void checkSteps(std::initializer_list<Step> steps) {
    for (const Step& s : steps) {
        TestGame g;
        g.form.TickCount = 1;
        std::string_view given = s.given;
        if (given.starts_with("draw ")) {
            const float least = std::stof(std::string(given.substr(5)));
            primeNextDraw(g.form, [least](float r) { return r >= least; });
            const auto rest = given.find(' ', 5);
            given = rest == std::string_view::npos ? "" : given.substr(rest + 1);
        } else {
            primeNextDraw(g.form, [](float r) { return r > 0.45f && r < 0.55f; });
        }
        setRow(g.form, given);
        runPhases(g.form, s.run);
        EXPECT_EQ(wrongInRow(g.form, s.then), "") << s.given << " | " << s.run;
    }
}

} // namespace kestrada::testing
