// SPDX-License-Identifier: GPL-3.0-or-later
#include "server/player_name.h"

#include <gtest/gtest.h>

namespace kestrada::server {
namespace {

std::string shown(std::string_view raw) {
    const auto name = cleanPlayerName(raw);
    return name ? name->shown : "<refused>";
}

std::string key(std::string_view raw) {
    return cleanPlayerName(raw).value().key;
}

TEST(PlayerName, SpacesAreTrimmedAndSingledAndTheLimitIsTwelveCharacters) {
    EXPECT_EQ(shown("  Ann   Lee "), "Ann Lee");
    EXPECT_EQ(shown("abcdefghijkl"), "abcdefghijkl");
    EXPECT_EQ(shown("abcdefghijklm"), "<refused>");
    EXPECT_EQ(shown("Zoë Åsa Ñ"), "Zoë Åsa Ñ");
    EXPECT_EQ(shown("   "), "<refused>");
}

TEST(PlayerName, ControlBidiAndZeroWidthCharactersAreRefused) {
    EXPECT_EQ(shown("ann\tlee"), "<refused>");
    EXPECT_EQ(shown("ann\u202e"), "<refused>");    // right-to-left override
    EXPECT_EQ(shown("\u2066ann"), "<refused>");    // left-to-right isolate
    EXPECT_EQ(shown("an\u200bn"), "<refused>");    // zero-width space
    EXPECT_EQ(shown("ann\u00a0"), "<refused>");    // no-break space
    EXPECT_EQ(shown("an\xc3"), "<refused>");       // cut short
    EXPECT_EQ(shown("\xc0\xa0"), "<refused>");     // an overlong space
    EXPECT_EQ(shown("\xed\xa0\x80"), "<refused>"); // a surrogate
}

TEST(PlayerName, LookAlikeNamesShareOneKey) {
    EXPECT_EQ(key("Ann Lee"), "annlee");
    EXPECT_EQ(key("ANN LEE"), key("annlee"));
    EXPECT_EQ(key("\u0410nn"), key("Ann"));   // Cyrillic capital A
    EXPECT_EQ(key("\u03bftto"), key("Otto")); // Greek omicron
    EXPECT_EQ(key("B0b"), key("Bob"));
    EXPECT_EQ(key("Al1ce"), key("Alice"));
    EXPECT_EQ(key("Zoë"), key("Zoe"));
    EXPECT_NE(key("Ann"), key("Anna"));
}

} // namespace
} // namespace kestrada::server
