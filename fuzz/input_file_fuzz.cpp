// SPDX-License-Identifier: GPL-3.0-or-later
// Arbitrary bytes as the headless input file: either a clean refusal that
// names the bad line, or events that make sense and read back the same.
#include "fuzz/input_file_invariants.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    const std::string fault = kestrada::fuzzing::inputFileFault(
        std::string_view(reinterpret_cast<const char*>(data), size));
    if (!fault.empty()) {
        std::fprintf(stderr, "input-file fault: %s\n", fault.c_str());
        std::abort();
    }
    return 0;
}
