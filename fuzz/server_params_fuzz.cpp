// SPDX-License-Identifier: GPL-3.0-or-later
// Arbitrary bytes as what a client sends the server: a name, a claim, a
// date, a run file. A clean refusal, or a value that keeps its promises.
#include "fuzz/server_params_invariants.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    const std::string fault = kestrada::fuzzing::serverParamsFault(
        std::string_view(reinterpret_cast<const char*>(data), size));
    if (!fault.empty()) {
        std::fprintf(stderr, "server parameter fault: %s\n", fault.c_str());
        std::abort();
    }
    return 0;
}
