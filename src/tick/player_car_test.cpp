#include "app/key_codes.h"
#include "testing/test_game.h"
#include "tick/player_car.h"

#include <gtest/gtest.h>

namespace kestrada {
namespace {

using testing::TestGame;

void placeCar(Form& f, float left, int16_t speed) {
    f.picCar().Left = left;
    f.Speed = speed;
    f.PrevSpeed = speed;
}

// Speeds tick by tick wherever the car stands, Up held or not.
TEST(PlayerCar, PedalsVergeAndRoughSetTheSpeed) {
    struct Case {
        const char* where;
        float left;
        int16_t speed;
        int32_t up, down;
        std::vector<int> speeds;
        bool offRoad;
    };
    const Case cases[] = {
        {"both pedals", 150, 12, 1, 1, {12, 12}, false},
        {"braking", 150, 2, 0, 1, {1, 0, 0}, false},
        {"verge, Up held: down to five", 365, 8, 1, 0, {7, 6, 5, 5, 5}, true},
        {"verge, Up held: back up to five", 365, 3, 1, 0, {4, 5, 5}, true},
        {"verge, no Up: to a stop", 90, 10, 0, 0, {8, 6, 4, 3, 2, 1, 0, 0}, false},
        {"right rough", 380, 25, 1, 0, {23, 21, 19, 17, 15, 13, 11, 9, 7, 5, 5, 5}, true},
        {"left rough on its limit", 86.4f, 12, 1, 0, {10}, true},
        {"just clear of the left rough", 86.41f, 12, 1, 0, {11}, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.where);
        TestGame g;
        Form& f = g.form;
        placeCar(f, c.left, c.speed);
        f.UpHeld = c.up;
        f.DownHeld = c.down;
        std::vector<int> speeds;
        for (std::size_t i = 0; i < c.speeds.size(); ++i) {
            playerCarPhase(f);
            speeds.push_back(f.Speed);
        }
        EXPECT_EQ(speeds, c.speeds);
        EXPECT_EQ(f.OffRoad, c.offRoad);
    }
}

TEST(PlayerCar, SteersByItsSpeedAndNotAtRestRememberingTheKeys) {
    TestGame g;
    Form& f = g.form;
    placeCar(f, 300, 25);
    f.Form_KeyDown(kKeyLeft);
    g.ticks(2);
    EXPECT_EQ(f.picCar().Left, 250.0f);
    EXPECT_EQ(f.PrevLeftHeld, 1);
    EXPECT_EQ(f.PrevRightHeld, 0);
    f.Form_KeyDown(kKeyRight);
    g.ticks(1);
    EXPECT_EQ(f.picCar().Left, 250.0f);
    f.Form_KeyUp(kKeyLeft);
    g.ticks(1);
    EXPECT_EQ(f.picCar().Left, 275.0f);
    EXPECT_EQ(f.PrevLeftHeld, 0);
    EXPECT_EQ(f.PrevRightHeld, 1);

    placeCar(f, 150, 0);
    f.Form_KeyUp(kKeyRight);
    f.Form_KeyDown(kKeyLeft);
    playerCarPhase(f);
    EXPECT_EQ(f.picCar().Left, 150.0f);
    EXPECT_EQ(f.PrevLeftHeld, 1);
}

} // namespace
} // namespace kestrada
