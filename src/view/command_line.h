// The window's own command-line options. `--headless` is dispatched before
// any of this runs and never reaches here.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace kestrada::view {

struct CommandLine {
    // Replaces the time of day as the random seed, for repeatable games.
    std::optional<uint32_t> seed;
    // Replaces the program's folder as the home of the wave files, the
    // pictures and the high-score file.
    std::optional<std::string> dataDir;
    // How many times larger the play area is drawn, 1 to 4; without it the
    // window keeps the zoom the player last chose.
    std::optional<int> zoom;
    // One line for the user when the arguments could not be understood.
    std::string error;

    bool ok() const { return error.empty(); }
};

// Reads the arguments after the program name.
CommandLine parseCommandLine(const std::vector<std::string>& args);

} // namespace kestrada::view
