// SPDX-License-Identifier: GPL-3.0-or-later
// The toolkit-free program: the headless mode alone, for machines and builds
// without the window.
#include "headless/runner.h"

#include <string>
#include <vector>

int main(int argc, char** argv) {
    return kestrada::headless::run(std::vector<std::string>(argv + 1, argv + argc));
}
