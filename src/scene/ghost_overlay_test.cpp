// SPDX-License-Identifier: GPL-3.0-or-later
#include "scene/compose.h"
#include "scene/explosion.h"
#include "scene/ghost_overlay.h"
#include "testing/test_game.h"

#include <algorithm>
#include <gtest/gtest.h>

namespace kestrada::scene {
namespace {

const Item* withText(const Scene& scene, const std::string& prefix) {
    for (const Item& item : scene) {
        if (item.kind == ItemKind::Text && item.text.rfind(prefix, 0) == 0) {
            return &item;
        }
    }
    return nullptr;
}

// Faint on the road while any of it is there, a marker at the edge it
// went past from the first gap that puts all of it off, and the ghost's
// score always.
TEST(GhostOverlay, TheCarWhileOnTheRoadThenAMarkerAtTheEdgeItWentPast) {
    testing::TestGame player(3);
    testing::TestGame ghost(3);
    ghost.form.lblScore().Caption = "812";
    const Control& car = ghost.form.imgCar();
    const Control& road = player.form.imgRoad();
    const int64_t offTop = int64_t(car.Top + car.Height - road.Top);
    const int64_t offBottom = int64_t(car.Top - road.Top - road.Height);

    for (const int64_t gap : {offTop - 1, offBottom + 1}) {
        const Scene scene = ghostOverlay(player.form, {ghost.form, gap, ""});
        ASSERT_EQ(scene.size(), 2u) << gap;
        EXPECT_EQ(scene[0].kind, ItemKind::Picture);
        EXPECT_EQ(scene[0].rect, (Rect{car.Left, car.Top - double(gap), car.Width, car.Height}));
        EXPECT_EQ(scene[0].opacity, kGhostOpacity);
        EXPECT_TRUE(scene[0].moves);
        EXPECT_NE(withText(scene, "ghost 812"), nullptr);
    }
    const Scene ahead = ghostOverlay(player.form, {ghost.form, offTop, ""});
    const Item* top = withText(ahead, "ahead " + std::to_string(offTop));
    ASSERT_NE(top, nullptr);
    EXPECT_EQ(top->rect.top, road.Top);
    const Scene behind = ghostOverlay(player.form, {ghost.form, offBottom, ""});
    const Item* bottom = withText(behind, "behind " + std::to_string(-offBottom));
    ASSERT_NE(bottom, nullptr);
    EXPECT_EQ(bottom->rect.top + bottom->rect.height, road.Top + road.Height);
    EXPECT_EQ(behind.size(), 2u);
    // On the asphalt its game shows the car in its box instead.
    ghost.form.imgCar().Visible = false;
    ghost.form.picCar().Visible = true;
    EXPECT_EQ(ghostOverlay(player.form, {ghost.form, 0, ""}).front().opacity, kGhostOpacity);

    // The marker is drawn over the median's box at the road's top, the car
    // under it as the player's is.
    player.form.picSplit().Visible = true;
    const Scene faint = ghostOverlay(player.form, {ghost.form, 0, ""});
    Scene overlay = ahead;
    overlay.insert(overlay.end(), faint.begin(), faint.end());
    const Scene composed =
        composeScene(player.form, ExplosionEffect(player.form.imgBoom()), overlay);
    const auto at = [&](const auto& match) {
        return std::find_if(composed.begin(), composed.end(), match) - composed.begin();
    };
    const auto box = at([](const Item& item) {
        return item.kind == ItemKind::Picture && item.picture == *pictureOf(ControlId::picSplit);
    });
    ASSERT_LT(box, std::ssize(composed));
    EXPECT_GT(at([&](const Item& item) { return item.text == top->text; }), box);
    EXPECT_LT(at([](const Item& item) { return item.opacity == kGhostOpacity; }), box);
}

} // namespace
} // namespace kestrada::scene
