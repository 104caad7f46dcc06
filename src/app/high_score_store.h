// SPDX-License-Identifier: GPL-3.0-or-later
// Where the best score is kept between games. The form reads it at every
// load and offers it a beaten best; the file beside the game is one store,
// and a front end with storage of its own brings another.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace kestrada {

struct BestSave {
    bool saved = false;                    // the store holds the new best
    std::optional<std::string> storedBest; // the higher best the store holds, as shown
    std::string failure;                   // why a new best was not saved
};

class HighScoreStore {
  public:
    virtual ~HighScoreStore() = default;
    // The best as stored, the value without its quotes; empty when there is
    // none or it cannot be read. A store that does not exist yet is made
    // empty, so the player can see where scores go.
    virtual std::optional<std::string> load() = 0;
    // Saves a beaten best unless the store already holds one at least as
    // high: another game may have saved since this one loaded.
    virtual BestSave save(std::string_view caption) = 0;
    // Where the best is kept, as a failed save names it on stderr.
    virtual std::string where() const = 0;
};

} // namespace kestrada
