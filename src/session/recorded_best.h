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
    std::optional<std::string> load() override { return high_; }
    BestSave save(std::string_view) override {
        BestSave kept;
        kept.saved = true;
        return kept;
    }
    std::string where() const override { return "the recording"; }

  private:
    std::string high_;
};

} // namespace kestrada::session
