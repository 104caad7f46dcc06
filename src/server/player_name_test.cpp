// SPDX-License-Identifier: GPL-3.0-or-later
#include "server/player_name.h"

#include <gtest/gtest.h>

namespace kestrada::server {
namespace {

std::string key(std::string_view raw) {
    const NameVerdict verdict = checkPlayerName(raw);
    return verdict.name ? verdict.name->key : "<" + verdict.reason + ">";
}

std::string reason(std::string_view raw) {
    return checkPlayerName(raw).reason;
}

TEST(PlayerName, NamesInEveryLivingScriptAreTaken) {
    for (const char* name : {"李明", "محمد", "דוד", "राज", "สมชาย", "Иван", "Zoë", "Ann & Bo",
                             "田中 太郎", "O'Neil-2"}) {
        const NameVerdict verdict = checkPlayerName(name);
        ASSERT_TRUE(verdict.name) << name << ": " << verdict.reason;
        EXPECT_EQ(verdict.name->shown, name);
    }
}

TEST(PlayerName, LettersOfSeveralScriptsThatPassForAnotherNameAreRefused) {
    const std::string mixed = "a name cannot mix letters of different scripts";
    EXPECT_EQ(reason("P\u0430ypal"), mixed); // one Cyrillic a among Latin letters
    EXPECT_EQ(reason("Dmitr\u0438\u0439"), mixed);
    EXPECT_EQ(reason("12\u0663"), "a name cannot mix digits of different scripts");
    EXPECT_EQ(reason("a\u0301\u0301"), "a name cannot hold invisible characters");
    // What the shared rules refuse is refused here too, in their words.
    EXPECT_EQ(reason("ann\u202e"), "a name cannot hold text-direction marks");
    EXPECT_EQ(reason("an\u200dn"), "a name cannot hold invisible characters");
    EXPECT_EQ(reason("abcdefghijklm"), "a name is at most 12 characters");
}

// One best per name: names a reader takes for the same are one key.
TEST(PlayerName, NamesThatReadAlikeShareOneKey) {
    EXPECT_EQ(key("Ann"), key("ANN"));
    EXPECT_EQ(key("Ann Lee"), key("annlee"));
    EXPECT_EQ(key("\uff21nn"), key("Ann")); // a full-width A
    EXPECT_EQ(key("B0b"), key("Bob"));
    EXPECT_EQ(key("Stra\u00dfe"), key("STRASSE"));
    EXPECT_EQ(key("\u0410\u043d\u043d\u0430"), key("\u0430\u043d\u043d\u0430")); // Анна, анна
    EXPECT_NE(key("Ann"), key("Anna"));
}

} // namespace
} // namespace kestrada::server
