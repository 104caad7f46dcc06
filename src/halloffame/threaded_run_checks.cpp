// SPDX-License-Identifier: GPL-3.0-or-later
#include "halloffame/run_checks.h"
#include "session/run_verification.h"

#include <algorithm>
#include <chrono>
#include <future>

namespace kestrada::session {

namespace {
bool ready(const std::future<RunChecksDone>& checks) {
    return checks.wait_for(std::chrono::seconds(0)) == std::future_status::ready;
}

// The checks still running end before the panel goes (their futures wait).
class ThreadedRunChecks : public RunChecks {
  public:
    void start(const std::filesystem::path& folder, std::vector<HallOfFameLine> lines) override {
        if (pending_.valid()) {
            retired_.push_back(std::move(pending_)); // never waited for on the game's thread
        }
        pending_ = std::async(std::launch::async, [folder, lines = std::move(lines)] {
            RunChecksDone done;
            for (const HallOfFameLine& line : lines) {
                done.emplace_back(checkKey(line), verifyEntry(folder, line));
            }
            return done;
        });
    }
    RunChecksDone done() override {
        std::erase_if(retired_, ready);
        if (!pending_.valid() || !ready(pending_)) {
            return {};
        }
        return pending_.get();
    }

  private:
    std::future<RunChecksDone> pending_;
    std::vector<std::future<RunChecksDone>> retired_;
};
} // namespace

std::unique_ptr<RunChecks> threadedRunChecks() {
    return std::make_unique<ThreadedRunChecks>();
}

} // namespace kestrada::session
