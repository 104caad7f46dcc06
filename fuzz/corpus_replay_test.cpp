// Every input kept from fuzzing runs again here, through the same checks,
// in every build: a fault the fuzzer once found stays found without it.
#include "fuzz/high_score_invariants.h"
#include "fuzz/input_file_invariants.h"
#include "testing/test_game.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <vector>

namespace {

namespace fs = std::filesystem;

std::vector<fs::path> corpusOf(const std::string& target) {
    std::vector<fs::path> files;
    for (const auto& entry : fs::directory_iterator(fs::path(KESTRADA_FUZZ_CORPUS_DIR) / target)) {
        if (entry.is_regular_file()) {
            files.push_back(entry.path());
        }
    }
    std::sort(files.begin(), files.end());
    return files;
}

TEST(FuzzCorpus, HighScoreInputsKeepEveryProperty) {
    const auto files = corpusOf("high_score_fuzz");
    ASSERT_FALSE(files.empty()) << "the high-score corpus is missing";
    kestrada::testing::ScratchDir dir;
    for (const fs::path& file : files) {
        EXPECT_EQ(kestrada::fuzzing::highScoreFault(kestrada::testing::fileText(file),
                                                    dir.path() / "Kestrada.txt"),
                  "")
            << file.filename();
    }
}

TEST(FuzzCorpus, InputFileInputsKeepEveryProperty) {
    const auto files = corpusOf("input_file_fuzz");
    ASSERT_FALSE(files.empty()) << "the input-file corpus is missing";
    for (const fs::path& file : files) {
        EXPECT_EQ(kestrada::fuzzing::inputFileFault(kestrada::testing::fileText(file)), "")
            << file.filename();
    }
}

// The checks themselves must be able to fail, or a clean corpus proves
// nothing.
TEST(FuzzCorpus, TheChecksNoticeABrokenResult) {
    using kestrada::fuzzing::detail::firstValueFault;
    EXPECT_NE(firstValueFault("\"12\"", std::string("12\"")), "");
    EXPECT_NE(firstValueFault("12,5", std::string("12,5")), "");
    EXPECT_NE(firstValueFault("12 ,5", std::string("1")), "");
    EXPECT_NE(firstValueFault("   ", std::string("")), "");
    EXPECT_NE(firstValueFault("x", std::nullopt), "");
    EXPECT_EQ(firstValueFault("  12 ,5", std::string("12")), "");

    kestrada::headless::InputParse refused;
    refused.errorLine = 3;
    refused.reason = "bad\x01";
    EXPECT_NE(kestrada::fuzzing::detail::refusalFault("a\nb\nc", refused), "");
    refused.reason = "bad";
    EXPECT_EQ(kestrada::fuzzing::detail::refusalFault("a\nb\nc", refused), "");
    EXPECT_NE(kestrada::fuzzing::detail::refusalFault("a\nb", refused), "");

    kestrada::headless::InputParse parsed;
    parsed.events.resize(2);
    parsed.events[0].slot = 5;
    parsed.events[1].slot = 4;
    EXPECT_NE(kestrada::fuzzing::detail::eventsFault("\n\n", parsed), "");
    parsed.events[1].slot = 5;
    parsed.events[1].keyCode = 256;
    EXPECT_NE(kestrada::fuzzing::detail::eventsFault("\n\n", parsed), "");
    parsed.events[1].keyCode = 65;
    EXPECT_EQ(kestrada::fuzzing::detail::eventsFault("\n\n", parsed), "");
}

} // namespace
