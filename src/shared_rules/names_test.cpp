// SPDX-License-Identifier: GPL-3.0-or-later
#include "shared_rules/names.h"

#include <gtest/gtest.h>

namespace kestrada::shared_rules {
namespace {

NameProblem problemOf(std::string_view raw) {
    return checkName(raw).problem;
}

std::string shown(std::string_view raw) {
    const NameCheck check = checkName(raw);
    return check.problem == NameProblem::None ? check.shown
                                              : "<" + nameProblemText(check.problem) + ">";
}

TEST(Names, SpacesOfAnyWidthArePlainTrimmedAndSingle) {
    EXPECT_EQ(shown("  Ann   Lee "), "Ann Lee");
    EXPECT_EQ(shown("Ann\u00a0\u3000Lee"), "Ann Lee"); // no-break and ideographic spaces
    EXPECT_EQ(shown("李\u200a明"), "李 明");           // a hair space
    EXPECT_EQ(shown("   "), "<the name is blank>");
}

// Twelve characters, not bytes: a name in any script has the same room.
TEST(Names, TwelveCharactersAtMost) {
    EXPECT_EQ(shown("abcdefghijkl"), "abcdefghijkl");
    EXPECT_EQ(shown("abcdefghijklm"), "<a name is at most 12 characters>");
    EXPECT_EQ(problemOf("李明李明李明李明李明李明李"), NameProblem::TooLong);
    EXPECT_EQ(shown("  abcde  fghijk  "), "abcde fghijk"); // counted once made single
}

TEST(Names, ControlInvisibleAndTextDirectionCharactersAndStrayBytesAreRefused) {
    EXPECT_EQ(problemOf("an\xc3"), NameProblem::NotText); // cut short
    EXPECT_EQ(problemOf("ann\tlee"), NameProblem::Control);
    EXPECT_EQ(problemOf("ann\u009f"), NameProblem::Control);
    EXPECT_EQ(problemOf("ann\u2028"), NameProblem::Control);   // line separator
    EXPECT_EQ(problemOf("an\u200bn"), NameProblem::Invisible); // zero-width space
    EXPECT_EQ(problemOf("an\u200dn"), NameProblem::Invisible); // zero-width joiner
    EXPECT_EQ(problemOf("\ufeffann"), NameProblem::Invisible); // byte-order mark
    EXPECT_EQ(problemOf("ann\u2065"), NameProblem::Invisible);
    EXPECT_EQ(problemOf("ann\ue000"), NameProblem::Invisible);      // private use
    EXPECT_EQ(problemOf("ann\u202e"), NameProblem::TextDirection);  // right-to-left override
    EXPECT_EQ(problemOf("\u2066ann"), NameProblem::TextDirection);  // left-to-right isolate
    EXPECT_EQ(problemOf("دو\u200fد"), NameProblem::TextDirection);  // right-to-left mark
    EXPECT_EQ(problemOf("\u061cمحمد"), NameProblem::TextDirection); // Arabic letter mark
}

} // namespace
} // namespace kestrada::shared_rules
