#include "headless/runner.h"

#include <iostream>

namespace kestrada::headless {

int run(const std::vector<std::string>&) {
    std::cerr << "headless mode not built yet\n";
    return 2;
}

} // namespace kestrada::headless
