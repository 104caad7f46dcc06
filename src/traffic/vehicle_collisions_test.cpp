#include "testing/scene.h"
#include "traffic/vehicle_collisions.h"

#include <gtest/gtest.h>
#include <string>

namespace kestrada {
namespace {

using testing::TestGame;

// Where a vehicle stands; a Left of 0 leaves it off the road.
struct Spot {
    float left = 0, top = 0;
    bool shown = true;
};

// The civilian cars wreck each other, the hog wrecks whatever it touches and
// drives on, the motorcycle always loses; each vehicle is wrecked once, by
// the first pair that touches, and the reward follows the speed as it
// stands mid-tick. Edges that only meet and hidden vehicles do not count.
TEST(VehicleCollisions, TouchingVehiclesWreckByTheirRulesOncePaidByTheSpeed) {
    struct Case {
        const char* what;
        int16_t speed;
        Spot civ1, civ2, hog, ms;
        std::string wrecked; // 1, 2, h and m: car 1, car 2, hog, motorcycle
        double score;
    };
    const Case cases[] = {
        {"cars", 25, {150, 200}, {170, 230}, {}, {}, "12", 100},
        {"edges that only meet", 25, {150, 200}, {177, 200}, {150, 241}, {203, 200}, "", 0},
        {"half a pixel over", 25, {150, 200}, {176.5f, 200}, {}, {}, "12", 100},
        {"hidden", 25, {150, 200}, {150, 200, false}, {150, 200, false}, {}, "", 0},
        {"first pair only", 25, {150, 200}, {160, 220}, {140, 190}, {}, "12", 100},
        {"the hog", 25, {180, 170}, {215, 235}, {200, 200}, {225, 190}, "12m", 150},
        {"the motorcycle once", 25, {230, 250}, {}, {200, 200}, {220, 230}, "m", 50},
        {"the motorcycle and car 1", 25, {200, 200}, {}, {}, {210, 210}, "m", 50},
        {"the motorcycle and car 2", 25, {}, {200, 200}, {}, {210, 210}, "m", 50},
        {"bumped below zero", -2, {150, 200}, {160, 210}, {}, {}, "12", -8},
        {"at rest", 0, {150, 200}, {160, 210}, {}, {}, "12", 0},
        {"bumped past the top", 28, {150, 200}, {160, 210}, {}, {}, "12", 112},
    };
    struct Vehicle {
        ControlId body, wreck;
        Spot Case::*spot;
        char tag;
    };
    const Vehicle vehicles[] = {{ControlId::imgCiv1, ControlId::imgCiv1Crash, &Case::civ1, '1'},
                                {ControlId::imgCiv2, ControlId::imgCiv2Crash, &Case::civ2, '2'},
                                {ControlId::imgHog, ControlId::imgHogCrash, &Case::hog, 'h'},
                                {ControlId::imgMs, ControlId::imgMdead, &Case::ms, 'm'}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TestGame g;
        Form& f = g.form;
        f.Speed = c.speed;
        f.HogSpeed = 17;
        for (const Vehicle& v : vehicles) {
            const Spot& at = c.*v.spot;
            testing::place(f.control(v.body), at.left, at.top);
            f.control(v.body).Visible = at.left != 0 && at.shown;
        }
        vehicleCollisionPhase(f);
        for (const Vehicle& v : vehicles) {
            SCOPED_TRACE(v.tag);
            const Spot& at = c.*v.spot;
            const bool wrecked = c.wrecked.find(v.tag) != std::string::npos;
            EXPECT_EQ(f.control(v.body).Visible, at.left != 0 && at.shown && !wrecked);
            EXPECT_EQ(f.control(v.body).Left, at.left);
            EXPECT_EQ(f.control(v.wreck).Visible, wrecked);
            if (wrecked) {
                EXPECT_EQ(f.control(v.wreck).Left, at.left);
                EXPECT_EQ(f.control(v.wreck).Top, at.top);
            }
        }
        EXPECT_DOUBLE_EQ(f.Score, c.score);
        EXPECT_EQ(f.HogSpeed, 17);
    }
}

} // namespace
} // namespace kestrada
