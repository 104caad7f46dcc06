// SPDX-License-Identifier: GPL-3.0-or-later
// What the game loads from beside its executable: the synthesised waves and
// the pictures (the window test has Qt's renderer read each picture).
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <map>
#include <regex>
#include <sstream>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;

std::string readFile(const fs::path& path) {
    std::ostringstream text;
    text << std::ifstream(path, std::ios::binary).rdbuf();
    return text.str();
}

int sampleAt(const std::string& bytes, std::size_t at) {
    return int16_t(uint8_t(bytes[at]) | uint8_t(bytes[at + 1]) << 8);
}

// 16-bit PCM of their length, loud but unclipped, no DC, silence at the ends
// of one-shots, no click where the music loops, the same on every run.
TEST(WaveFiles, ArePcmOfTheirLengthLoudUnclippedWithoutDcAndLoopCleanly) {
    // A folder of this run's own: another run of the suite may be going.
    const fs::path again =
        fs::path(::testing::TempDir()) / ("kestrada_synth_again_" + std::to_string(getpid()));
    ASSERT_EQ(std::system(("\"" KESTRADA_SYNTH "\" \"" + again.string() + "\"").c_str()), 0);
    for (const auto& [name, seconds, oneShot] :
         {std::tuple{"Start.wav", 3.0, true}, std::tuple{"Crash.wav", 1.0, true},
          std::tuple{"Kestrada.wav", 30.0, false}}) {
        SCOPED_TRACE(name);
        const std::string bytes = readFile(fs::path(KESTRADA_WAVE_DIR) / name);
        ASSERT_GT(bytes.size(), 44u);
        // RIFF, a PCM fmt chunk of 16-bit mono at 22050 or 44100, then data.
        EXPECT_EQ(bytes.substr(0, 4) + bytes.substr(8, 8) + bytes.substr(36, 4),
                  "RIFFWAVEfmt data");
        EXPECT_EQ(sampleAt(bytes, 20) * 1000 + sampleAt(bytes, 22) * 100 + sampleAt(bytes, 34),
                  1116);
        const int rate = sampleAt(bytes, 24) & 0xffff;
        EXPECT_TRUE(rate == 22050 || rate == 44100) << rate;
        const std::size_t count = (bytes.size() - 44) / 2;
        EXPECT_NEAR(double(count) / rate, seconds, seconds / 6);
        int peak = 0;
        double sum = 0;
        for (std::size_t i = 0; i < count; ++i) {
            peak = std::max(peak, std::abs(sampleAt(bytes, 44 + 2 * i)));
            sum += sampleAt(bytes, 44 + 2 * i);
        }
        EXPECT_TRUE(peak > 16000 && peak < 32000) << peak;
        EXPECT_LT(std::abs(sum / double(count)), 65);
        const int first = sampleAt(bytes, 44);
        const int last = sampleAt(bytes, bytes.size() - 2);
        EXPECT_LT(oneShot ? std::max(std::abs(first), std::abs(last)) : std::abs(last - first),
                  oneShot ? 200 : 655);
        EXPECT_TRUE(readFile(again / name) == bytes) << "the synthesiser must repeat itself";
    }
    fs::remove_all(again);
}

// Qt's SVG renderer (6.4) skips patterns, clip paths, masks, filters and
// markers: a picture leaning on them, or on a reference to nothing, would
// show holes in the game.
TEST(Pictures, AreSvgOfTheirSpriteSizeUsingOnlyWhatTheRendererDraws) {
    const std::map<std::string, std::string> sizes = {
        {"car", "25 44"},        {"car_wreck", "25 44"},      {"civ1", "27 41"},
        {"civ1_wreck", "27 41"}, {"civ2", "26 32"},           {"civ2_wreck", "26 32"},
        {"hog", "28 42"},        {"hog_wreck", "28 42"},      {"moto", "23 32"},
        {"moto_left", "30 27"},  {"moto_right", "30 27"},     {"moto_wreck", "32 23"},
        {"crater", "27 29"},     {"marker", "5 40"},          {"median", "81 1742"},
        {"road", "480 480"},     {"dash", "107 478"},         {"dash_cracked", "107 478"},
        {"missile", "10 16"},    {"missile_flight", "10 20"}, {"mine", "20 17"},
        {"boom", "25 25"},       {"icon", "32 32"},
    };
    const std::regex root(
        R"re(<svg xmlns="http://www.w3.org/2000/svg"[^>]* width="(\d+)" height="(\d+)" viewBox="0 0 (\d+ \d+)">)re");
    const std::regex reference(R"re(url\(#([^)]+)\)|href="#([^"]+)")re");
    const std::regex unsupported(R"(<(pattern|clipPath|mask|filter|marker)[\s>/])");
    int pictures = 0;
    for (const auto& entry : fs::directory_iterator(KESTRADA_PICTURE_DIR)) {
        const std::string name = entry.path().stem().string();
        SCOPED_TRACE(name);
        ASSERT_EQ(entry.path().extension(), ".svg");
        ASSERT_TRUE(sizes.count(name)) << "no sprite size on record";
        const std::string svg = readFile(entry.path());
        std::smatch m;
        ASSERT_TRUE(std::regex_search(svg, m, root));
        EXPECT_EQ(m[1].str() + " " + m[2].str(), sizes.at(name));
        EXPECT_EQ(m[3].str(), sizes.at(name));
        EXPECT_FALSE(std::regex_search(svg, unsupported));
        for (std::sregex_iterator r(svg.begin(), svg.end(), reference), end; r != end; ++r) {
            const std::string id = (*r)[1].matched ? (*r)[1].str() : (*r)[2].str();
            EXPECT_NE(svg.find("id=\"" + id + "\""), std::string::npos) << "#" << id;
        }
        ++pictures;
    }
    EXPECT_EQ(pictures, int(sizes.size()));
}

} // namespace
