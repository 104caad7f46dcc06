#include "headless/trace_writer.h"
#include "testing/test_game.h"

#include <fstream>
#include <gtest/gtest.h>
#include <sstream>

namespace kestrada::headless {
namespace {

using kestrada::testing::ScratchDir;
using kestrada::testing::TestGame;

// The keys of the object that opens at text[0], in order, skipping nested
// objects' keys.
std::vector<std::string> keysOf(std::string_view text) {
    std::vector<std::string> keys;
    int depth = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '{' || c == '[') {
            ++depth;
        } else if (c == '}' || c == ']') {
            if (--depth == 0) {
                break;
            }
        } else if (c == '"') {
            std::string s;
            for (++i; text[i] != '"'; ++i) {
                if (text[i] == '\\') {
                    ++i;
                }
                s += text[i];
            }
            if (depth == 1 && text[i + 1] == ':') {
                keys.push_back(s);
            }
        }
    }
    return keys;
}

// The raw JSON value of the first "key": in the record.
std::string valueOf(const std::string& record, const std::string& key) {
    const std::string needle = "\"" + key + "\":";
    const auto at = record.find(needle);
    if (at == std::string::npos) {
        return "<missing>";
    }
    std::size_t i = at + needle.size();
    const std::size_t start = i;
    int depth = 0;
    bool inString = false;
    for (; i < record.size(); ++i) {
        const char c = record[i];
        if (inString) {
            if (c == '\\') {
                ++i;
            } else if (c == '"') {
                inString = false;
            }
        } else if (c == '"') {
            inString = true;
        } else if (c == '[' || c == '{') {
            ++depth;
        } else if ((c == ']' || c == '}') && depth > 0) {
            --depth;
        } else if ((c == ',' || c == '}') && depth == 0) {
            break;
        }
    }
    return record.substr(start, i - start);
}

std::string recordOf(const Form& form, uint64_t slot, bool ticked,
                     const std::vector<std::string>& sounds = {}) {
    std::string out;
    appendRecord(out, form, slot, ticked, sounds);
    return out;
}

TEST(TraceRecord, IsOneLineWithTheKeysInReadingOrder) {
    TestGame g;
    const std::string record = recordOf(g.form, 1, true);
    ASSERT_FALSE(record.empty());
    EXPECT_EQ(record.back(), '\n');
    EXPECT_EQ(record.find('\n'), record.size() - 1);
    const std::vector<std::string> expected = {"slot",
                                               "tick",
                                               "TickCount",
                                               "Speed",
                                               "Score",
                                               "RandomRoll",
                                               "GameOver",
                                               "Paused",
                                               "TimerEnabled",
                                               "CratersInPlay",
                                               "CraterIndex",
                                               "MissileInFlight",
                                               "WeaponChoice",
                                               "Civ1Speed",
                                               "Civ2Speed",
                                               "HogSpeed",
                                               "MotorcycleSpeed",
                                               "PrevSpeed",
                                               "OffRoad",
                                               "UpHeld",
                                               "DownHeld",
                                               "LeftHeld",
                                               "RightHeld",
                                               "PrevLeftHeld",
                                               "PrevRightHeld",
                                               "Civ1Bumped",
                                               "Civ2Bumped",
                                               "MusicPlaying",
                                               "MedianWasVisible",
                                               "lblSpeed",
                                               "lblScore",
                                               "lblHighScore",
                                               "lblInfo8",
                                               "mnuPause",
                                               "mnuMusic",
                                               "mnuEffects",
                                               "linSpeed",
                                               "sprites",
                                               "sound"};
    EXPECT_EQ(keysOf(record), expected);
}

TEST(TraceRecord, ListsTheSpritesInDrawingCatalogueOrder) {
    TestGame g;
    const std::string record = recordOf(g.form, 1, true);
    const std::string sprites = valueOf(record, "sprites");
    const std::vector<std::string> expected = {
        "picCar",       "imgCar",       "imgWreck",     "picSplit",   "imgSplit",    "imgCiv1",
        "imgCiv1Crash", "imgCiv2",      "imgCiv2Crash", "imgHog",     "imgHogCrash", "imgMs",
        "imgMl",        "imgMr",        "imgMdead",     "imgCrater0", "imgCrater1",  "imgMarker1",
        "imgMarker2",   "imgMarker3",   "imgMarker4",   "imgMarker5", "imgMarker6",  "imgMarker7",
        "imgMissile",   "imgMissileGo", "imgMine",      "imgBoom",    "ShowMissile", "ShowMine",
        "imgDash",      "imgCracked",   "lblPaused"};
    EXPECT_EQ(keysOf(sprites), expected);
}

TEST(TraceRecord, WritesTheStateOfAFreshGame) {
    TestGame g;
    const std::string record = recordOf(g.form, 12, false);
    EXPECT_EQ(valueOf(record, "slot"), "12");
    EXPECT_EQ(valueOf(record, "tick"), "false");
    EXPECT_EQ(valueOf(record, "Score"), "0");
    EXPECT_EQ(valueOf(record, "Paused"), "false");
    EXPECT_EQ(valueOf(record, "TimerEnabled"), "true");
    EXPECT_EQ(valueOf(record, "lblScore"), "\"0\"");
    EXPECT_EQ(valueOf(record, "lblInfo8"), "\"Pause\"");
    EXPECT_EQ(valueOf(record, "mnuPause"), "[\"&Pause\",true]");
    EXPECT_EQ(valueOf(record, "linSpeed"), "[515,204,true]");
    EXPECT_EQ(valueOf(record, "picCar"), "[386,360,false]");
    EXPECT_EQ(valueOf(record, "imgMarker1"), "[237.504,-62,true]");
    EXPECT_EQ(valueOf(record, "lblPaused"), "[40,120,false]");
    EXPECT_EQ(valueOf(record, "sound"), "[]");
}

TEST(TraceRecord, FollowsTheGameAsItChanges) {
    TestGame g;
    Form& f = g.form;
    f.mnuPause_Click();
    f.Score = 1234.5;
    f.Speed = 25;
    f.picCar().Left = 1.0f / 3.0f;
    f.lblScore().Caption = "say \"hi\"";
    const std::string record = recordOf(f, 3, false, {"sndStart.stop", "sndMusic.stop"});
    EXPECT_EQ(valueOf(record, "Paused"), "true");
    EXPECT_EQ(valueOf(record, "TimerEnabled"), "false");
    EXPECT_EQ(valueOf(record, "mnuPause"), "[\"Un&pause\",true]");
    EXPECT_EQ(valueOf(record, "lblInfo8"), "\"Unpause\"");
    EXPECT_EQ(valueOf(record, "lblPaused"), "[40,120,true]");
    EXPECT_EQ(valueOf(record, "Score"), "1234.5");
    EXPECT_EQ(valueOf(record, "Speed"), "25");
    EXPECT_EQ(valueOf(record, "picCar"), "[0.33333334,360,false]");
    EXPECT_EQ(valueOf(record, "lblScore"), "\"say \\\"hi\\\"\"");
    EXPECT_EQ(valueOf(record, "sound"), "[\"sndStart.stop\",\"sndMusic.stop\"]");
}

std::string fileText(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

TEST(TraceWriter, WritesTheRecordsInOrderAcrossFlushes) {
    ScratchDir dir;
    TestGame g;
    const auto file = dir.path() / "trace.jsonl";
    TraceWriter writer;
    std::string error;
    ASSERT_TRUE(writer.open(file, error)) << error;
    // Enough records to pass the flush threshold several times.
    std::string expected;
    for (uint64_t slot = 1; slot <= 3000; ++slot) {
        g.form.TickCount = static_cast<int32_t>(slot);
        writer.write(g.form, slot, true, {});
        appendRecord(expected, g.form, slot, true, {});
    }
    EXPECT_GT(expected.size(), std::size_t{2} << 20);
    ASSERT_TRUE(writer.close());
    EXPECT_EQ(fileText(file), expected);
}

TEST(TraceWriter, ReportsAFileThatCannotBeWritten) {
    ScratchDir dir;
    TraceWriter writer;
    std::string error;
    EXPECT_FALSE(writer.open(dir.path() / "no-such-folder" / "trace.jsonl", error));
    EXPECT_NE(error.find("no-such-folder"), std::string::npos) << error;

    // A full disk shows up when the buffer reaches the file.
    TraceWriter full;
    if (!full.open("/dev/full", error)) {
        GTEST_SKIP() << "no /dev/full here";
    }
    TestGame g;
    full.write(g.form, 1, true, {});
    EXPECT_FALSE(full.close());
}

} // namespace
} // namespace kestrada::headless
