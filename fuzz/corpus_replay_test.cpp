// SPDX-License-Identifier: GPL-3.0-or-later
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

} // namespace
