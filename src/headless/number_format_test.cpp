#include "headless/number_format.h"

#include <bit>
#include <cstdlib>
#include <gtest/gtest.h>
#include <limits>
#include <random>

namespace kestrada::headless {
namespace {

std::string floatText(float v) {
    std::string s;
    appendFloat(s, v);
    return s;
}

std::string doubleText(double v) {
    std::string s;
    appendDouble(s, v);
    return s;
}

TEST(NumberFormat, PositionsUseTheShortestTextOfTheFloat) {
    // 237.504 as a float is 237.503997802734375; the float's own shortest
    // text is what a reader needs, not the double expansion.
    EXPECT_EQ(floatText(237.504f), "237.504");
    EXPECT_EQ(floatText(386.0f), "386");
    EXPECT_EQ(floatText(-62.0f), "-62");
    EXPECT_EQ(floatText(0.1f), "0.1");
    EXPECT_EQ(floatText(0.0f), "0");
    EXPECT_EQ(floatText(1.0f / 3.0f), "0.33333334");
    EXPECT_EQ(floatText(static_cast<float>(0.1 + 0.2)), "0.3");
}

TEST(NumberFormat, ScoresUseTheShortestTextOfTheDouble) {
    EXPECT_EQ(doubleText(0.0), "0");
    EXPECT_EQ(doubleText(1234.0), "1234");
    EXPECT_EQ(doubleText(1234.5), "1234.5");
    EXPECT_EQ(doubleText(0.1 + 0.2), "0.30000000000000004");
    EXPECT_EQ(doubleText(0.1), "0.1");
    EXPECT_EQ(doubleText(1e22), "1e+22") << "still a JSON number";
}

TEST(NumberFormat, EveryFloatReadsBackToTheSameBits) {
    std::mt19937 bits(7);
    int checked = 0;
    for (int i = 0; i < 20000; ++i) {
        const float v = std::bit_cast<float>(static_cast<uint32_t>(bits()));
        if (!std::isfinite(v)) {
            continue;
        }
        const std::string text = floatText(v);
        const float back = std::strtof(text.c_str(), nullptr);
        ASSERT_EQ(std::bit_cast<uint32_t>(back), std::bit_cast<uint32_t>(v)) << text;
        ++checked;
    }
    EXPECT_GT(checked, 19000);
    for (const float v :
         {std::numeric_limits<float>::denorm_min(), std::numeric_limits<float>::max(), -0.0f}) {
        EXPECT_EQ(std::bit_cast<uint32_t>(std::strtof(floatText(v).c_str(), nullptr)),
                  std::bit_cast<uint32_t>(v));
    }
}

TEST(NumberFormat, EveryDoubleReadsBackToTheSameBits) {
    std::mt19937_64 bits(11);
    for (int i = 0; i < 20000; ++i) {
        const double v = std::bit_cast<double>(static_cast<uint64_t>(bits()));
        if (!std::isfinite(v)) {
            continue;
        }
        const std::string text = doubleText(v);
        ASSERT_EQ(std::bit_cast<uint64_t>(std::strtod(text.c_str(), nullptr)),
                  std::bit_cast<uint64_t>(v))
            << text;
    }
}

TEST(NumberFormat, NumbersJsonCannotHoldBecomeNull) {
    EXPECT_EQ(floatText(std::numeric_limits<float>::infinity()), "null");
    EXPECT_EQ(doubleText(-std::numeric_limits<double>::infinity()), "null");
    EXPECT_EQ(doubleText(std::numeric_limits<double>::quiet_NaN()), "null");
}

TEST(NumberFormat, StringsAreEscapedForJson) {
    std::string s;
    appendJsonString(s, "Un&pause");
    EXPECT_EQ(s, "\"Un&pause\"");
    s.clear();
    appendJsonString(s, "New\r\nGame \"1\" \\ \t\x01 é");
    EXPECT_EQ(s, "\"New\\r\\nGame \\\"1\\\" \\\\ \\t\\u0001 é\"");
}

} // namespace
} // namespace kestrada::headless
