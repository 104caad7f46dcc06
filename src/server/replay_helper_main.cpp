// SPDX-License-Identifier: GPL-3.0-or-later
// kestrada-server-replay: the replay helper alone, linked with the rules and
// nothing of the server's, so that starting it once a run costs little.
#include "server/replay_child.h"

int main(int argc, char** argv) {
    return kestrada::server::replayChildMain(std::vector<std::string>(argv + 1, argv + argc));
}
