// Checks what the game loads from beside its executable: the synthesised wave files must be
// plain 16-bit PCM that plays cleanly (no clipping, no DC, no click where the music loops), and
// every picture must be well-formed SVG of exactly the size its sprite is laid out for, using
// only what Qt's SVG renderer draws.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <map>
#include <regex>
#include <set>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

namespace {

namespace fs = std::filesystem;

std::string readFile(const fs::path& path) {
    std::ifstream f(path, std::ios::binary);
    std::ostringstream text;
    text << f.rdbuf();
    return text.str();
}

// ---------------------------------------------------------------------------------------------
// Wave files

struct Wave {
    std::string error; // empty when the file is a usable PCM wave
    int format = 0;
    int channels = 0;
    int rate = 0;
    int bits = 0;
    std::vector<std::int16_t> samples; // interleaved

    double seconds() const {
        return static_cast<double>(samples.size()) / channels / static_cast<double>(rate);
    }
    int peak() const {
        int p = 0;
        for (auto s : samples)
            p = std::max(p, std::abs(static_cast<int>(s)));
        return p;
    }
    double mean() const {
        double sum = 0.0;
        for (auto s : samples)
            sum += s;
        return sum / static_cast<double>(samples.size());
    }
};

std::uint32_t le(std::string_view bytes, std::size_t at, int count) {
    std::uint32_t v = 0;
    for (int i = count - 1; i >= 0; --i)
        v = (v << 8) | static_cast<unsigned char>(bytes[at + static_cast<std::size_t>(i)]);
    return v;
}

Wave invalid(std::string why) {
    Wave w;
    w.error = std::move(why);
    return w;
}

Wave readWave(const fs::path& path) {
    Wave w;
    const std::string bytes = readFile(path);
    if (bytes.size() < 12 || bytes.compare(0, 4, "RIFF") != 0 || bytes.compare(8, 4, "WAVE") != 0)
        return invalid("not a RIFF/WAVE file");
    if (le(bytes, 4, 4) != bytes.size() - 8)
        return invalid("RIFF size does not match the file");
    bool haveFormat = false;
    for (std::size_t at = 12; at + 8 <= bytes.size();) {
        const std::string id = bytes.substr(at, 4);
        const std::size_t size = le(bytes, at + 4, 4);
        const std::size_t body = at + 8;
        if (body + size > bytes.size())
            return invalid("chunk " + id + " runs past the end");
        if (id == "fmt ") {
            w.format = static_cast<int>(le(bytes, body, 2));
            w.channels = static_cast<int>(le(bytes, body + 2, 2));
            w.rate = static_cast<int>(le(bytes, body + 4, 4));
            const auto byteRate = le(bytes, body + 8, 4);
            const auto blockAlign = le(bytes, body + 12, 2);
            w.bits = static_cast<int>(le(bytes, body + 14, 2));
            if (blockAlign != static_cast<std::uint32_t>(w.channels * w.bits / 8) ||
                byteRate != blockAlign * static_cast<std::uint32_t>(w.rate))
                return invalid("inconsistent fmt chunk");
            haveFormat = true;
        } else if (id == "data") {
            if (!haveFormat || w.bits != 16)
                return invalid("data before fmt, or not 16-bit");
            for (std::size_t i = 0; i + 1 < size; i += 2)
                w.samples.push_back(static_cast<std::int16_t>(le(bytes, body + i, 2)));
        }
        at = body + size + (size & 1);
    }
    if (w.samples.empty())
        return invalid("no samples");
    return w;
}

fs::path waveDir() {
    return KESTRADA_WAVE_DIR;
}

struct WaveSpec {
    const char* name;
    double minSeconds;
    double maxSeconds;
};

constexpr WaveSpec kWaves[] = {
    {"Start.wav", 2.5, 3.5},
    {"Crash.wav", 0.5, 1.5},
    {"Kestrada.wav", 20.0, 40.0},
};

TEST(WaveFiles, AreSixteenBitPcmAtAStandardRateAndRightLength) {
    for (const auto& asset : kWaves) {
        SCOPED_TRACE(asset.name);
        const Wave w = readWave(waveDir() / asset.name);
        ASSERT_EQ(w.error, "");
        EXPECT_EQ(w.format, 1);
        EXPECT_EQ(w.bits, 16);
        EXPECT_TRUE(w.channels == 1 || w.channels == 2);
        EXPECT_TRUE(w.rate == 22050 || w.rate == 44100);
        EXPECT_GE(w.seconds(), asset.minSeconds);
        EXPECT_LE(w.seconds(), asset.maxSeconds);
    }
}

TEST(WaveFiles, AreLoudButNeverClippedAndCarryNoDc) {
    for (const auto& asset : kWaves) {
        SCOPED_TRACE(asset.name);
        const Wave w = readWave(waveDir() / asset.name);
        ASSERT_EQ(w.error, "");
        EXPECT_LT(w.peak(), 32000); // headroom below full scale
        EXPECT_GT(w.peak(), 16000); // and not a near-silent file
        EXPECT_LT(std::abs(w.mean()), 0.002 * 32768);
    }
}

TEST(WaveFiles, OneShotsStartAndEndOnSilence) {
    for (const char* name : {"Start.wav", "Crash.wav"}) {
        SCOPED_TRACE(name);
        const Wave w = readWave(waveDir() / name);
        ASSERT_EQ(w.error, "");
        EXPECT_LT(std::abs(w.samples.front()), 200);
        EXPECT_LT(std::abs(w.samples.back()), 200);
    }
}

TEST(WaveFiles, RoadMusicLoopsWithoutAClick) {
    const Wave w = readWave(waveDir() / "Kestrada.wav");
    ASSERT_EQ(w.error, "");
    const std::size_t n = w.samples.size();
    for (std::size_t c = 0; c < static_cast<std::size_t>(w.channels); ++c) {
        const int first = w.samples[c];
        const int last = w.samples[n - static_cast<std::size_t>(w.channels) + c];
        EXPECT_LT(std::abs(last - first), 0.02 * 32768); // the jump where the music restarts
        EXPECT_LT(std::abs(first), 0.05 * 32768); // and the very first sample starts near silence
    }
}

TEST(WaveFiles, SynthesiserWritesTheSameBytesEveryRun) {
    const fs::path again = fs::path(::testing::TempDir()) / "kestrada_synth_again";
    fs::remove_all(again);
    const std::string command =
        std::string("\"") + KESTRADA_SYNTH + "\" \"" + again.string() + "\"";
    ASSERT_EQ(std::system(command.c_str()), 0);
    for (const auto& asset : kWaves) {
        SCOPED_TRACE(asset.name);
        EXPECT_TRUE(readFile(again / asset.name) == readFile(waveDir() / asset.name));
    }
    fs::remove_all(again);
}

// ---------------------------------------------------------------------------------------------
// A small XML well-formedness check: enough to catch a broken picture file without a toolkit.

struct Element {
    std::string name;
    std::map<std::string, std::string> attributes;
};

struct XmlScan {
    std::string error;             // empty when well-formed
    std::vector<Element> elements; // in document order, the root first
};

bool isSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r';
}

XmlScan scanXml(std::string_view text) {
    XmlScan scan;
    std::vector<std::string> open;
    int roots = 0;
    std::size_t at = 0;
    auto fail = [&scan](std::string why) {
        scan.error = std::move(why);
        return scan;
    };
    auto skipPast = [&](std::string_view end) {
        const std::size_t found = text.find(end, at);
        if (found == std::string_view::npos)
            return false;
        at = found + end.size();
        return true;
    };
    auto readName = [&] {
        const std::size_t start = at;
        while (at < text.size() && !isSpace(text[at]) && text[at] != '/' && text[at] != '>' &&
               text[at] != '=')
            ++at;
        return std::string(text.substr(start, at - start));
    };
    auto skipSpace = [&] {
        while (at < text.size() && isSpace(text[at]))
            ++at;
    };
    while ((at = text.find('<', at)) != std::string_view::npos) {
        if (text.substr(at, 2) == "<?") {
            if (!skipPast("?>"))
                return fail("unclosed processing instruction");
        } else if (text.substr(at, 4) == "<!--") {
            if (!skipPast("-->"))
                return fail("unclosed comment");
        } else if (text.substr(at, 9) == "<![CDATA[") {
            if (!skipPast("]]>"))
                return fail("unclosed CDATA");
        } else if (text.substr(at, 2) == "<!") {
            if (!skipPast(">"))
                return fail("unclosed declaration");
        } else if (text.substr(at, 2) == "</") {
            at += 2;
            const std::string name = readName();
            skipSpace();
            if (at >= text.size() || text[at] != '>' || open.empty() || open.back() != name)
                return fail("mismatched end tag </" + name + ">");
            open.pop_back();
            ++at;
        } else {
            ++at;
            Element e{readName(), {}};
            if (e.name.empty())
                return fail("empty tag name");
            for (;;) {
                skipSpace();
                if (at >= text.size())
                    return fail("unclosed tag <" + e.name + ">");
                if (text[at] == '>' || text.substr(at, 2) == "/>")
                    break;
                const std::string attribute = readName();
                skipSpace();
                if (attribute.empty() || at >= text.size() || text[at] != '=')
                    return fail("bad attribute in <" + e.name + ">");
                ++at;
                skipSpace();
                const char quote = at < text.size() ? text[at] : '\0';
                const std::size_t end = text.find(quote, at + 1);
                if ((quote != '"' && quote != '\'') || end == std::string_view::npos)
                    return fail("unquoted attribute " + attribute);
                const std::string value(text.substr(at + 1, end - at - 1));
                if (value.find('<') != std::string::npos ||
                    !e.attributes.emplace(attribute, value).second)
                    return fail("bad or repeated attribute " + attribute);
                at = end + 1;
            }
            if (open.empty() && ++roots > 1)
                return fail("more than one root element");
            const bool selfClosing = text[at] == '/';
            at += selfClosing ? 2 : 1;
            if (!selfClosing)
                open.push_back(e.name);
            scan.elements.push_back(std::move(e));
        }
    }
    if (!open.empty())
        return fail("unclosed element <" + open.back() + ">");
    if (roots != 1)
        return fail("no root element");
    return scan;
}

TEST(XmlCheck, AcceptsWellFormedAndRejectsBrokenMarkup) {
    EXPECT_EQ(scanXml("<?xml version='1.0'?><!-- c --><a x='1'><b/><c y=\"2\"></c></a>").error, "");
    EXPECT_NE(scanXml("<a><b></a></b>").error, "");
    EXPECT_NE(scanXml("<a><b></a>").error, "");
    EXPECT_NE(scanXml("<a x=1/>").error, "");
    EXPECT_NE(scanXml("<a x='1' x='2'/>").error, "");
    EXPECT_NE(scanXml("<a/><b/>").error, "");
}

// ---------------------------------------------------------------------------------------------
// Pictures

fs::path pictureDir() {
    return KESTRADA_PICTURE_DIR;
}

struct PictureSpec {
    const char* name;
    int width;
    int height;
};

// Each picture is drawn at its own pixel size; the sprites' layout depends on these.
constexpr PictureSpec kPictures[] = {
    {"car.svg", 25, 44},        {"car_wreck.svg", 25, 44},      {"civ1.svg", 27, 41},
    {"civ1_wreck.svg", 27, 41}, {"civ2.svg", 26, 32},           {"civ2_wreck.svg", 26, 32},
    {"hog.svg", 28, 42},        {"hog_wreck.svg", 28, 42},      {"moto.svg", 23, 32},
    {"moto_left.svg", 30, 27},  {"moto_right.svg", 30, 27},     {"moto_wreck.svg", 32, 23},
    {"crater.svg", 27, 29},     {"marker.svg", 5, 40},          {"median.svg", 81, 1742},
    {"road.svg", 480, 480},     {"dash.svg", 107, 478},         {"dash_cracked.svg", 107, 478},
    {"missile.svg", 10, 16},    {"missile_flight.svg", 10, 20}, {"mine.svg", 20, 17},
    {"boom.svg", 25, 25},       {"icon.svg", 32, 32},
};

std::vector<double> numbers(const std::string& text) {
    std::vector<double> values;
    std::string spaced = text;
    std::replace(spaced.begin(), spaced.end(), ',', ' ');
    std::istringstream in(spaced);
    for (double v; in >> v;)
        values.push_back(v);
    return values;
}

TEST(Pictures, EachIsWellFormedSvgOfItsSpriteSize) {
    for (const auto& asset : kPictures) {
        SCOPED_TRACE(asset.name);
        const fs::path path = pictureDir() / asset.name;
        ASSERT_TRUE(fs::exists(path));
        const XmlScan scan = scanXml(readFile(path));
        ASSERT_EQ(scan.error, "");
        const Element& root = scan.elements.front();
        ASSERT_EQ(root.name, "svg");
        auto attribute = [&root](const std::string& key) {
            const auto it = root.attributes.find(key);
            return it == root.attributes.end() ? std::string() : it->second;
        };
        EXPECT_EQ(attribute("width"), std::to_string(asset.width));
        EXPECT_EQ(attribute("height"), std::to_string(asset.height));
        const std::vector<double> box{0, 0, static_cast<double>(asset.width),
                                      static_cast<double>(asset.height)};
        EXPECT_EQ(numbers(attribute("viewBox")), box);
        EXPECT_EQ(attribute("xmlns"), "http://www.w3.org/2000/svg");
    }
}

TEST(Pictures, NoPictureIsLeftOutOfTheList) {
    std::set<std::string> expected;
    for (const auto& asset : kPictures)
        expected.insert(asset.name);
    for (const auto& entry : fs::directory_iterator(pictureDir())) {
        if (entry.path().extension() == ".svg") {
            EXPECT_TRUE(expected.count(entry.path().filename().string()))
                << entry.path().filename() << " has no sprite size on record";
        }
    }
}

// Qt's SVG renderer (6.4) skips patterns, clip paths, masks, filters and markers: a picture
// leaning on them would show holes in the game. Every internal reference must resolve too.
TEST(Pictures, UseOnlyWhatTheRendererDrawsAndResolveEveryReference) {
    const std::set<std::string> unsupported{"pattern", "clipPath", "mask", "filter", "marker"};
    const std::regex urlReference(R"(url\(#([^)]+)\))");
    for (const auto& asset : kPictures) {
        SCOPED_TRACE(asset.name);
        const XmlScan scan = scanXml(readFile(pictureDir() / asset.name));
        ASSERT_EQ(scan.error, "");
        std::set<std::string> ids;
        std::vector<std::string> references;
        for (const Element& e : scan.elements) {
            EXPECT_FALSE(unsupported.count(e.name)) << "<" << e.name << ">";
            for (const auto& [key, value] : e.attributes) {
                if (key == "id")
                    ids.insert(value);
                if ((key == "href" || key == "xlink:href") && value.starts_with('#'))
                    references.push_back(value.substr(1));
                for (std::sregex_iterator m(value.begin(), value.end(), urlReference), end;
                     m != end; ++m)
                    references.push_back((*m)[1]);
            }
        }
        for (const std::string& id : references)
            EXPECT_TRUE(ids.count(id)) << "#" << id << " is not defined";
    }
}

} // namespace
