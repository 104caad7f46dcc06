// SPDX-License-Identifier: GPL-3.0-or-later
// Every input kept from fuzzing runs again here, through the same checks,
// in every build: a fault the fuzzer once found stays found without it.
#include "fuzz/hall_of_fame_invariants.h"
#include "fuzz/high_score_invariants.h"
#include "fuzz/input_file_invariants.h"
#include "testing/test_game.h"

#include <functional>
#include <gtest/gtest.h>

namespace {

namespace fs = std::filesystem;

TEST(FuzzCorpus, EveryKeptInputKeepsEveryProperty) {
    const kestrada::testing::ScratchDir dir;
    const std::pair<const char*, std::function<std::string(const std::string&)>> targets[] = {
        {"high_score_fuzz",
         [&](const std::string& bytes) {
             return kestrada::fuzzing::highScoreFault(bytes, dir.path() / "Kestrada.txt");
         }},
        {"hall_of_fame_fuzz", kestrada::fuzzing::hallOfFameFault},
        {"input_file_fuzz", kestrada::fuzzing::inputFileFault},
    };
    for (const auto& [target, fault] : targets) {
        int inputs = 0;
        for (const auto& entry :
             fs::directory_iterator(fs::path(KESTRADA_FUZZ_CORPUS_DIR) / target)) {
            EXPECT_EQ(fault(kestrada::testing::fileText(entry.path())), "") << entry.path();
            ++inputs;
        }
        EXPECT_GT(inputs, 0) << "the corpus of " << target << " is missing";
    }
}

} // namespace
