// SPDX-License-Identifier: GPL-3.0-or-later
// The window's own command-line options, read after QApplication has taken
// Qt's (-platform, -style, -session and the rest). `--headless` is
// dispatched before any of this runs and never reaches here.
#pragma once

#include <QStringList>
#include <cstdint>
#include <optional>
#include <string>

namespace kestrada::desktop {

struct CommandLine {
    enum class Action { Play, ShowHelp, ShowVersion, Refuse };
    Action action = Action::Play;
    // Replaces the time of day as the random seed, for repeatable games.
    std::optional<uint32_t> seed;
    // The folder of the high-score file; the game's pictures and sounds
    // always come from its own data.
    std::optional<std::string> dataDir;
    // Write the session's input to this file as it is played.
    std::optional<std::string> record;
    // Play this input file back instead of the player's keys.
    std::optional<std::string> replay;
    // Race the last game of this recorded run, its ghost beside the
    // player's game on its road, named in the race's end words.
    std::optional<std::string> race;
    std::string raceName = "the run";
    // The help or version text for stdout, or one line for stderr when the
    // arguments could not be understood.
    std::string text;
    // How many times larger the play area is drawn, 1 to 4; without it the
    // window keeps the zoom the player last chose.
    std::optional<int> zoom;
    // Start in full screen, whatever was chosen last time.
    bool fullScreen = false;
    // Motion drawn between the game's steps, or the plain steps; without
    // either option, the last choice.
    std::optional<bool> smoothing;
    // Today's road races the day's leader, or is played alone; without
    // either option, the last choice.
    std::optional<bool> raceLeader;
    // The world's server the hall of fame sends its runs to ("" forgets
    // it); without the option, the one last given.
    std::optional<std::string> server;
    // This session plays the road of that day (YYYY-MM-DD, with its --seed):
    // its first game goes to the road's table.
    std::optional<std::string> road;
};

// Reads the arguments, the program name first, as
// QCoreApplication::arguments() holds them.
CommandLine parseCommandLine(const QStringList& arguments);

// An http:// or https:// address with a host: where a world's server can be.
bool isServerAddress(const QString& text);

// True when the arguments ask for help or the version: those are answered
// without a display, before any window could open.
bool asksForHelpOrVersion(int argc, char** argv);

} // namespace kestrada::desktop
