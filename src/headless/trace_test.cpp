// SPDX-License-Identifier: GPL-3.0-or-later
// A trace record as a reader finds it: one line, each number in the shortest
// text of its own type, strings escaped for JSON, and null for what JSON
// cannot hold.
#include "headless/number_format.h"
#include "headless/trace_writer.h"
#include "testing/json_field.h"
#include "testing/test_game.h"

#include <gtest/gtest.h>
#include <limits>

namespace kestrada::headless {
namespace {

using kestrada::testing::jsonField;
using kestrada::testing::TestGame;

TEST(TraceRecord, WritesTheGameAsItStandsInJson) {
    TestGame fresh;
    TestGame changed;
    Form& f = changed.form;
    f.mnuPause_Click();
    f.Score = 1234.5;
    f.Speed = 25;
    f.picCar().Left = 1.0f / 3.0f;
    f.lblScore().Caption = "say \"hi\"\\\r\n\t\x01\x1f\x7f é";
    std::string before;
    std::string after;
    appendRecord(before, fresh.form, 12, false, {});
    appendRecord(after, f, 3, true, {"sndStart.stop", "sndMusic.stop"});
    EXPECT_EQ(before.find('\n'), before.size() - 1);
    const struct {
        const char* key;
        std::string fresh, changed;
    } cases[] = {
        {"slot", "12", "3"},
        {"tick", "false", "true"},
        {"Score", "0", "1234.5"},
        {"Speed", "0", "25"},
        {"Paused", "false", "true"},
        {"lblScore", "\"0\"", "\"say \\\"hi\\\"\\\\\\r\\n\\t\\u0001\\u001f\x7f é\""},
        {"mnuPause", "[\"&Pause\",true]", "[\"Un&pause\",true]"},
        {"linSpeed", "[515,204,true]", "[515,204,true]"},
        {"picCar", "[386,360,false]", "[0.33333334,360,false]"},
        {"imgMarker1", "[237.504,-62,true]", "[237.504,-62,true]"},
        {"sound", "[]", "[\"sndStart.stop\",\"sndMusic.stop\"]"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(jsonField(before, c.key), c.fresh) << c.key;
        EXPECT_EQ(jsonField(after, c.key), c.changed) << c.key;
    }
    std::string numbers;
    appendFloat(numbers, std::numeric_limits<float>::infinity());
    appendDouble(numbers, std::numeric_limits<double>::quiet_NaN());
    appendDouble(numbers, 0.1 + 0.2);
    EXPECT_EQ(numbers, "nullnull0.30000000000000004");
}

} // namespace
} // namespace kestrada::headless
