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

// Positions are floats and scores doubles: each is written as the shortest
// text of its own type, and what JSON cannot hold becomes null.
TEST(NumberFormat, NumbersUseTheShortestTextOfTheirOwnType) {
    // 237.504 as a float is 237.503997802734375; the float's own shortest
    // text is what a reader needs, not the double expansion.
    const std::pair<float, const char*> floats[] = {
        {237.504f, "237.504"},
        {-62.0f, "-62"},
        {1.0f / 3.0f, "0.33333334"},
        {float(0.1 + 0.2), "0.3"},
        {std::numeric_limits<float>::infinity(), "null"},
    };
    for (const auto& [value, text] : floats) {
        EXPECT_EQ(floatText(value), text);
    }
    const std::pair<double, const char*> doubles[] = {
        {1234.5, "1234.5"},
        {0.1 + 0.2, "0.30000000000000004"},
        {1e22, "1e+22"},
        {std::numeric_limits<double>::quiet_NaN(), "null"},
    };
    for (const auto& [value, text] : doubles) {
        EXPECT_EQ(doubleText(value), text);
    }
}

TEST(NumberFormat, StringsAreEscapedForJson) {
    std::string s;
    appendJsonString(s, "Un&pause");
    EXPECT_EQ(s, "\"Un&pause\"");
    s.clear();
    appendJsonString(s, "New\r\nGame \"1\" \\ \t\x01\x1f\x7f é");
    EXPECT_EQ(s, "\"New\\r\\nGame \\\"1\\\" \\\\ \\t\\u0001\\u001f\x7f é\"");
}

} // namespace
} // namespace kestrada::headless
