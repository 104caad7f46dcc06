// SPDX-License-Identifier: GPL-3.0-or-later
// One of the world's tables as the hall-of-fame panel shows it: all time,
// or today's road. The top ten, or, when the player's name is not among
// them, the top five and the rows around the player's own, which is
// highlighted.
#pragma once

#include "world/world_request.h"

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

namespace kestrada::session {

inline constexpr std::size_t kWorldRows = 10;

class WorldBoard {
  public:
    enum class Status { Closed, Loading, Shown, Unreachable, Refused };

    // Asks the server afresh; `name` is the player's, highlighted.
    void open(bool road, std::string name);
    std::optional<WorldRequest> next();
    void answered(const WorldReply& reply);

    Status status() const { return status_; }
    // "the server cannot be reached", the server's reason, ... or nothing.
    const std::string& problem() const { return problem_; }
    const std::vector<std::string>& rows() const { return rows_; }
    std::optional<std::size_t> highlighted() const { return highlighted_; }
    // The server's id of a row's run, to download and replay.
    std::optional<std::string> runOf(std::size_t row) const;
    // Today's road, as the server named it.
    const std::string& roadDate() const { return roadDate_; }

  private:
    enum class Step { Idle, Road, Top, Around };
    std::string boardTarget() const;
    void show(const std::vector<WorldFields>& entries);

    Step step_ = Step::Idle;
    bool out_ = false;
    bool road_ = false;
    std::string name_;
    Status status_ = Status::Closed;
    std::string problem_;
    std::string roadDate_;
    std::vector<WorldFields> top_;
    std::vector<WorldFields> shown_;
    std::vector<std::string> rows_;
    std::optional<std::size_t> highlighted_;
};

// "rank  score  name  date", spaced as the local rows are.
std::string worldRowText(const WorldFields& entry);

} // namespace kestrada::session
