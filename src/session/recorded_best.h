// SPDX-License-Identifier: GPL-3.0-or-later
// The best a recording started from, as a store: a replay's Form_Load shows
// what the player saw, and nothing the replay beats is kept anywhere. Every
// game starts by loading it, so its loads count the games.
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
    std::optional<std::string> load() override {
        ++loads_;
        return high_;
    }
    BestSave save(std::string_view) override {
        BestSave kept;
        kept.saved = true;
        return kept;
    }
    std::string where() const override { return "the recording"; }
    unsigned loads() const { return loads_; }

  private:
    std::string high_;
    unsigned loads_ = 0;
};

} // namespace kestrada::session
