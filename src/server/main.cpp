// SPDX-License-Identifier: GPL-3.0-or-later
#include "server/server_program.h"

int main(int argc, char** argv) {
    return kestrada::server::runServer(std::vector<std::string>(argv + 1, argv + argc));
}
