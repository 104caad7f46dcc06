// SPDX-License-Identifier: GPL-3.0-or-later
// The best a recording started from, as a store: a replay's Form_Load shows
// what the player saw, and nothing the replay beats is kept anywhere.
#pragma once

#include "app/high_score_store.h"

#include <optional>
#include <string>
#include <string_view>
#include <utility>

namespace kestrada::session {

class RecordedBest : public HighScoreStore {
  public:
    explicit RecordedBest(std::string high) : high_(std::move(high)) {}
    // Every game starts by loading it, so the loads count the games.
    std::optional<std::string> load() override {
        ++loads;
        return high_;
    }
    BestSave save(std::string_view) override {
        BestSave kept;
        kept.saved = true;
        return kept;
    }
    std::string where() const override { return "the recording"; }

    unsigned loads = 0;

  private:
    std::string high_;
};

} // namespace kestrada::session
