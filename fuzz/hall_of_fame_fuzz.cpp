// SPDX-License-Identifier: GPL-3.0-or-later
// Arbitrary bytes as the hall-of-fame file: whatever it held, the entries
// read are whole, stay in their folder, write back the same and print
// safely.
#include "fuzz/hall_of_fame_invariants.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    const std::string fault = kestrada::fuzzing::hallOfFameFault(
        std::string_view(reinterpret_cast<const char*>(data), size));
    if (!fault.empty()) {
        std::fprintf(stderr, "hall-of-fame fault: %s\n", fault.c_str());
        std::abort();
    }
    return 0;
}
