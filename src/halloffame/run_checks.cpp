// SPDX-License-Identifier: GPL-3.0-or-later
#include "halloffame/run_checks.h"

#include "session/run_verification.h"

namespace kestrada::session {

std::string checkKey(const HallOfFameLine& line) {
    return line.run + "\t" + line.score;
}

namespace {
class SteppedRunChecks : public RunChecks {
  public:
    void start(const std::filesystem::path& folder, std::vector<HallOfFameLine> lines) override {
        folder_ = folder;
        lines_ = std::move(lines);
    }
    RunChecksDone done() override {
        if (lines_.empty()) {
            return {};
        }
        const HallOfFameLine line = lines_.back();
        lines_.pop_back();
        return {{checkKey(line), verifyEntry(folder_, line)}};
    }

  private:
    std::filesystem::path folder_;
    std::vector<HallOfFameLine> lines_;
};
} // namespace

std::unique_ptr<RunChecks> steppedRunChecks() {
    return std::make_unique<SteppedRunChecks>();
}

} // namespace kestrada::session
