// SPDX-License-Identifier: GPL-3.0-or-later
// The server's kept fuzz inputs run again in every build with the server.
#include "fuzz/server_params_invariants.h"
#include "testing/test_game.h"

#include <gtest/gtest.h>

namespace {

TEST(ServerFuzzCorpus, EveryKeptInputKeepsEveryProperty) {
    int inputs = 0;
    for (const auto& entry : std::filesystem::directory_iterator(
             std::filesystem::path(KESTRADA_FUZZ_CORPUS_DIR) / "server_params_fuzz")) {
        EXPECT_EQ(kestrada::fuzzing::serverParamsFault(kestrada::testing::fileText(entry.path())),
                  "")
            << entry.path();
        ++inputs;
    }
    EXPECT_GT(inputs, 0) << "the corpus of server_params_fuzz is missing";
}

} // namespace
