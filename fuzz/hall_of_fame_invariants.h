// SPDX-License-Identifier: GPL-3.0-or-later
// What must hold for any bytes a hall-of-fame file can contain, whoever
// wrote it. Shared by the fuzz target and the corpus replay test.
#pragma once

#include "halloffame/hall_of_fame.h"
#include "storage/hall_of_fame_file.h"

#include <algorithm>
#include <string>
#include <string_view>

namespace kestrada::fuzzing {

inline std::string hallOfFameFault(std::string_view bytes) {
    const HallOfFameFile file = parseHallOfFame(bytes);
    const auto lines = static_cast<std::size_t>(std::count(bytes.begin(), bytes.end(), '\n')) + 1;
    // A missing header counts as damage even when its line is an entry.
    if (file.lines.size() + file.damaged > lines + 1) {
        return "more entries and damaged lines than lines";
    }
    for (const HallOfFameLine& line : file.lines) {
        for (const std::string& field : {line.score, line.name, line.when, line.run}) {
            if (field.find_first_of("\t\r\n") != std::string::npos) {
                return "a field holds a tab or a line end";
            }
        }
        if (!runPath("folder", line.run) ||
            runPath("folder", line.run)->parent_path() != "folder/runs") {
            return "a recording outside the runs folder: " + line.run;
        }
    }
    // What the game writes back reads the same, undamaged.
    const HallOfFameFile again = parseHallOfFame(hallOfFameText(file.lines));
    if (again.lines != file.lines || again.damaged != 0) {
        return "the table does not read back as written";
    }
    // What --scores prints is plain text on one line, whatever the name held.
    std::vector<HallOfFameLine> kept = file.lines;
    session::keepBest(kept);
    if (kept.size() > session::kHallOfFameSize) {
        return "more than ten entries kept";
    }
    for (const auto& entry : session::rankHallOfFame(kept, {})) {
        const std::string text = session::entryText(entry);
        if (std::any_of(text.begin(), text.end(), [](char c) { return c >= 0 && c < 0x20; })) {
            return "a printed entry holds a control character";
        }
    }
    return "";
}

} // namespace kestrada::fuzzing
