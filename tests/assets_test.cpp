// What the game loads from beside its executable: the synthesised waves must
// be plain 16-bit PCM that plays cleanly (no clipping, no DC, no click where
// the music loops), and every picture must be SVG of exactly its sprite's
// size using only what Qt's SVG renderer draws. The window test checks that
// the renderer reads every picture.
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <regex>
#include <set>
#include <sstream>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

std::string readFile(const fs::path& path) {
    std::ifstream f(path, std::ios::binary);
    std::ostringstream text;
    text << f.rdbuf();
    return text.str();
}

uint32_t le(const std::string& bytes, std::size_t at, int count) {
    uint32_t v = 0;
    for (int i = count - 1; i >= 0; --i) {
        v = (v << 8) | static_cast<unsigned char>(bytes[at + std::size_t(i)]);
    }
    return v;
}

// The synthesiser writes a 44-byte header: RIFF, fmt, then data.
TEST(WaveFiles, ArePcmOfTheirLengthLoudUnclippedWithoutDcAndLoopCleanly) {
    const struct {
        const char* name;
        double minSeconds, maxSeconds;
        bool oneShot;
    } waves[] = {{"Start.wav", 2.5, 3.5, true},
                 {"Crash.wav", 0.5, 1.5, true},
                 {"Kestrada.wav", 20, 40, false}};
    const fs::path again = fs::path(::testing::TempDir()) / "kestrada_synth_again";
    fs::remove_all(again);
    ASSERT_EQ(std::system(("\"" KESTRADA_SYNTH "\" \"" + again.string() + "\"").c_str()), 0);
    for (const auto& wave : waves) {
        SCOPED_TRACE(wave.name);
        const std::string bytes = readFile(fs::path(KESTRADA_WAVE_DIR) / wave.name);
        ASSERT_GT(bytes.size(), 44u);
        ASSERT_EQ(bytes.substr(0, 4) + bytes.substr(8, 8) + bytes.substr(36, 4),
                  "RIFFWAVEfmt data");
        EXPECT_EQ(le(bytes, 4, 4), bytes.size() - 8);
        EXPECT_EQ(le(bytes, 40, 4), bytes.size() - 44);
        const uint32_t format = le(bytes, 20, 2), channels = le(bytes, 22, 2);
        const uint32_t rate = le(bytes, 24, 4), bits = le(bytes, 34, 2);
        EXPECT_EQ(format, 1u);
        EXPECT_EQ(bits, 16u);
        EXPECT_EQ(le(bytes, 28, 4), rate * channels * 2);
        EXPECT_TRUE(rate == 22050 || rate == 44100);
        std::vector<int> samples;
        for (std::size_t i = 44; i + 1 < bytes.size(); i += 2) {
            samples.push_back(int16_t(le(bytes, i, 2)));
        }
        const double seconds = double(samples.size()) / channels / rate;
        EXPECT_GE(seconds, wave.minSeconds);
        EXPECT_LE(seconds, wave.maxSeconds);
        int peak = 0;
        double sum = 0;
        for (const int s : samples) {
            peak = std::max(peak, std::abs(s));
            sum += s;
        }
        EXPECT_LT(peak, 32000);
        EXPECT_GT(peak, 16000);
        EXPECT_LT(std::abs(sum / double(samples.size())), 0.002 * 32768);
        // One-shots start and end on silence; the music's end meets its start.
        EXPECT_LT(std::abs(samples.front()), wave.oneShot ? 200 : 1638);
        const int jump = std::abs(samples.back() - samples[channels - 1]);
        EXPECT_LT(wave.oneShot ? std::abs(samples.back()) : jump, wave.oneShot ? 200 : 655);
        EXPECT_TRUE(readFile(again / wave.name) == bytes) << "the synthesiser must repeat itself";
    }
    fs::remove_all(again);
}

// Qt's SVG renderer (6.4) skips patterns, clip paths, masks, filters and
// markers: a picture leaning on them would show holes in the game.
TEST(Pictures, AreSvgOfTheirSpriteSizeUsingOnlyWhatTheRendererDraws) {
    const std::vector<std::tuple<std::string, int, int>> pictures = {
        {"car.svg", 25, 44},        {"car_wreck.svg", 25, 44},      {"civ1.svg", 27, 41},
        {"civ1_wreck.svg", 27, 41}, {"civ2.svg", 26, 32},           {"civ2_wreck.svg", 26, 32},
        {"hog.svg", 28, 42},        {"hog_wreck.svg", 28, 42},      {"moto.svg", 23, 32},
        {"moto_left.svg", 30, 27},  {"moto_right.svg", 30, 27},     {"moto_wreck.svg", 32, 23},
        {"crater.svg", 27, 29},     {"marker.svg", 5, 40},          {"median.svg", 81, 1742},
        {"road.svg", 480, 480},     {"dash.svg", 107, 478},         {"dash_cracked.svg", 107, 478},
        {"missile.svg", 10, 16},    {"missile_flight.svg", 10, 20}, {"mine.svg", 20, 17},
        {"boom.svg", 25, 25},       {"icon.svg", 32, 32},
    };
    std::set<std::string> listed;
    const std::regex unsupported(R"(<(pattern|clipPath|mask|filter|marker)[\s>/])");
    const std::regex reference(R"(url\(#([^)]+)\)|href="#([^"]+)\")");
    for (const auto& [name, width, height] : pictures) {
        SCOPED_TRACE(name);
        listed.insert(name);
        const std::string svg = readFile(fs::path(KESTRADA_PICTURE_DIR) / name);
        std::smatch root;
        ASSERT_TRUE(std::regex_search(svg, root, std::regex(R"(<svg\s[^>]*>)")));
        const std::string size =
            "width=\"" + std::to_string(width) + "\" height=\"" + std::to_string(height) + "\"";
        EXPECT_NE(root.str().find(size), std::string::npos) << root.str();
        EXPECT_NE(root.str().find("viewBox=\"0 0 " + std::to_string(width) + " " +
                                  std::to_string(height) + "\""),
                  std::string::npos);
        EXPECT_NE(root.str().find("xmlns=\"http://www.w3.org/2000/svg\""), std::string::npos);
        EXPECT_FALSE(std::regex_search(svg, unsupported));
        for (std::sregex_iterator m(svg.begin(), svg.end(), reference), end; m != end; ++m) {
            const std::string id = (*m)[1].matched ? (*m)[1].str() : (*m)[2].str();
            EXPECT_NE(svg.find("id=\"" + id + "\""), std::string::npos) << "#" << id;
        }
    }
    for (const auto& entry : fs::directory_iterator(KESTRADA_PICTURE_DIR)) {
        EXPECT_TRUE(entry.path().extension() != ".svg" ||
                    listed.count(entry.path().filename().string()))
            << entry.path() << " has no sprite size on record";
    }
}

} // namespace
