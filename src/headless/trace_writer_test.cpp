#include "headless/trace_writer.h"
#include "testing/json_field.h"
#include "testing/test_game.h"

#include <gtest/gtest.h>
#include <sstream>

namespace kestrada::headless {
namespace {

using kestrada::testing::jsonField;
using kestrada::testing::ScratchDir;
using kestrada::testing::TestGame;

// The keys of the object that opens at text[0], in order, skipping nested
// objects' keys, joined by spaces.
std::string keysOf(std::string_view text) {
    std::string keys;
    int depth = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '{' || c == '[') {
            ++depth;
        } else if ((c == '}' || c == ']') && --depth == 0) {
            break;
        } else if (c == '"') {
            std::string s;
            for (++i; text[i] != '"'; ++i) {
                i += text[i] == '\\' ? 1 : 0;
                s += text[i];
            }
            if (depth == 1 && text[i + 1] == ':') {
                keys += (keys.empty() ? "" : " ") + s;
            }
        }
    }
    return keys;
}

std::string recordOf(const Form& form, uint64_t slot, bool ticked,
                     const std::vector<std::string>& sounds = {}) {
    std::string out;
    appendRecord(out, form, slot, ticked, sounds);
    return out;
}

TEST(TraceRecord, IsOneLineWithTheKeysAndSpritesInReadingOrder) {
    TestGame g;
    const std::string record = recordOf(g.form, 1, true);
    ASSERT_FALSE(record.empty());
    EXPECT_EQ(record.find('\n'), record.size() - 1);
    EXPECT_EQ(keysOf(record),
              "slot tick TickCount Speed Score RandomRoll GameOver Paused TimerEnabled "
              "CratersInPlay CraterIndex MissileInFlight WeaponChoice Civ1Speed Civ2Speed "
              "HogSpeed MotorcycleSpeed PrevSpeed OffRoad UpHeld DownHeld LeftHeld RightHeld "
              "PrevLeftHeld PrevRightHeld Civ1Bumped Civ2Bumped MusicPlaying MedianWasVisible "
              "lblSpeed lblScore lblHighScore lblInfo8 mnuPause mnuMusic mnuEffects linSpeed "
              "sprites sound");
    EXPECT_EQ(keysOf(jsonField(record, "sprites")),
              "picCar imgCar imgWreck picSplit imgSplit imgCiv1 imgCiv1Crash imgCiv2 "
              "imgCiv2Crash imgHog imgHogCrash imgMs imgMl imgMr imgMdead imgCrater0 imgCrater1 "
              "imgMarker1 imgMarker2 imgMarker3 imgMarker4 imgMarker5 imgMarker6 imgMarker7 "
              "imgMissile imgMissileGo imgMine imgBoom ShowMissile ShowMine imgDash imgCracked "
              "lblPaused");
}

TEST(TraceRecord, WritesTheStateOfTheGameAsItChanges) {
    TestGame fresh;
    TestGame changed;
    Form& f = changed.form;
    f.mnuPause_Click();
    f.Score = 1234.5;
    f.Speed = 25;
    f.picCar().Left = 1.0f / 3.0f;
    f.lblScore().Caption = "say \"hi\"";
    const std::string before = recordOf(fresh.form, 12, false);
    const std::string after = recordOf(f, 3, true, {"sndStart.stop", "sndMusic.stop"});
    struct Case {
        const char* key;
        std::string fresh, changed;
    };
    const Case cases[] = {
        {"slot", "12", "3"},
        {"tick", "false", "true"},
        {"Score", "0", "1234.5"},
        {"Speed", "0", "25"},
        {"Paused", "false", "true"},
        {"lblScore", "\"0\"", "\"say \\\"hi\\\"\""},
        {"lblInfo8", "\"Pause\"", "\"Unpause\""},
        {"mnuPause", "[\"&Pause\",true]", "[\"Un&pause\",true]"},
        {"linSpeed", "[515,204,true]", "[515,204,true]"},
        {"picCar", "[386,360,false]", "[0.33333334,360,false]"},
        {"imgMarker1", "[237.504,-62,true]", "[237.504,-62,true]"},
        {"sound", "[]", "[\"sndStart.stop\",\"sndMusic.stop\"]"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(jsonField(before, c.key), c.fresh) << c.key;
        EXPECT_EQ(jsonField(after, c.key), c.changed) << c.key;
    }
}

} // namespace
} // namespace kestrada::headless
