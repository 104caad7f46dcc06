// SPDX-License-Identifier: GPL-3.0-or-later
// The zoom the player last chose with Ctrl+Plus and Ctrl+Minus, and the
// choice of smooth motion or plain steps, and of racing today's leader, kept in the user's settings
// for the next start.
#pragma once

#include <string>

namespace kestrada::desktop {

// 1 when nothing (or nothing sensible) was saved.
int savedZoom();
void saveZoom(int zoom);

// On when nothing was saved.
bool savedSmoothing();
void saveSmoothing(bool on);

// On when nothing was saved: today's road races the day's leader.
bool savedRaceLeader();
void saveRaceLeader(bool on);

// The world's server last given with --server; empty for none.
std::string savedServer();
void saveServer(const std::string& url);

} // namespace kestrada::desktop
