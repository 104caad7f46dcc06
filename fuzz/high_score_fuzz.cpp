// SPDX-License-Identifier: GPL-3.0-or-later
// Arbitrary bytes as the high-score file: reading, the shown number, and a
// save of that number must all behave, whatever the file held.
#include "fuzz/fuzz_scratch.h"
#include "fuzz/high_score_invariants.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    static const auto file = kestrada::fuzzing::scratchFolder() / kestrada::kHighScoreFileName;
    const std::string fault = kestrada::fuzzing::highScoreFault(
        std::string_view(reinterpret_cast<const char*>(data), size), file);
    if (!fault.empty()) {
        std::fprintf(stderr, "high-score fault: %s\n", fault.c_str());
        std::abort();
    }
    return 0;
}
