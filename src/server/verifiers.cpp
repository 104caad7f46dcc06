// SPDX-License-Identifier: GPL-3.0-or-later
#include "server/verifiers.h"

#include <charconv>
#include <iostream>

namespace kestrada::server {

namespace {
constexpr std::chrono::seconds kDatabaseDownPause{1};
constexpr std::chrono::seconds kClockSyncEvery{10};
} // namespace

int64_t nowMs() {
    return std::chrono::duration_cast<std::chrono::milliseconds>(
               std::chrono::system_clock::now().time_since_epoch())
        .count();
}

Outcome outcomeOf(const ChildReplay& child, int64_t claimed) {
    Outcome outcome;
    if (child.end == ChildReplay::End::OverBudget) {
        outcome.reason = "over budget";
        return outcome;
    }
    const session::RecordingReplay& replay = child.replay;
    outcome.seed = replay.seed;
    outcome.games = replay.games;
    if (!replay.score) {
        outcome.reason = replay.failure;
        return outcome;
    }
    int64_t score = -1;
    const std::string& text = *replay.score;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), score);
    if (error != std::errc() || end != text.data() + text.size()) {
        outcome.reason = "replays to " + text;
        return outcome;
    }
    outcome.score = score;
    outcome.verified = score == claimed;
    if (!outcome.verified) {
        outcome.reason = "replays to " + text;
    }
    return outcome;
}

Verifiers::Verifiers(RunStore& store, VerifierSettings settings, std::string processName,
                     Metrics* metrics)
    : store_(store), settings_(settings), processName_(std::move(processName)), metrics_(metrics) {
    try {
        clock_.sync(store_);
        clockSynced_ = std::chrono::steady_clock::now();
    } catch (const DatabaseError&) {
        // The first worker measures it once the database answers.
    }
    for (unsigned i = 0; i < settings_.workers; ++i) {
        threads_.emplace_back([this, i] { work(i); });
    }
}

Verifiers::~Verifiers() {
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    wake_.notify_all();
    for (auto& thread : threads_) {
        thread.join();
    }
}

void Verifiers::wake() {
    {
        std::lock_guard lock(mutex_);
        ++wakes_;
    }
    wake_.notify_one();
}

void Verifiers::finished(int64_t id) {
    ++generation_;
    waiters_.finished(id);
}

void Verifiers::work(unsigned index) {
    const std::string owner = processName_ + "/" + std::to_string(index);
    ReplayHelper helper(settings_.limits); // kept from run to run
    uint64_t seen = 0;
    while (!stopping_) {
        bool busy = false;
        try {
            const auto now = std::chrono::steady_clock::now();
            if (index == 0 && now - clockSynced_ >= kClockSyncEvery) {
                clock_.sync(store_);
                clockSynced_ = now;
            }
            busy = verifyOne(owner, helper);
        } catch (const std::exception& error) {
            std::cerr << "verifier " << owner << ": " << error.what() << '\n';
            std::unique_lock lock(mutex_);
            wake_.wait_for(lock, kDatabaseDownPause, [&] { return stopping_.load(); });
            continue;
        }
        if (busy) {
            continue;
        }
        std::unique_lock lock(mutex_);
        wake_.wait_for(lock, settings_.idlePoll,
                       [&] { return stopping_.load() || wakes_ != seen; });
        seen = wakes_;
    }
}

// One run claimed and verified; false when the queue had none ready.
bool Verifiers::verifyOne(const std::string& owner, ReplayHelper& helper) {
    const auto job = store_.claim(owner, clock_.nowMs(), settings_.lease.count());
    if (!job) {
        return false;
    }
    std::cerr << "verifier " << owner << ": replaying run " << job->id << '\n';
    const auto started = std::chrono::steady_clock::now();
    const ChildReplay child = helper.replay(job->recording);
    const std::chrono::duration<double> took = std::chrono::steady_clock::now() - started;
    if (child.end == ChildReplay::End::Crashed) {
        const bool rejected = store_.crashed(job->id, owner);
        std::cerr << "verifier " << owner << ": run " << job->id << " crashed its replay"
                  << (rejected ? ", rejected" : "") << '\n';
        if (rejected) {
            finished(job->id);
        }
        return true;
    }
    const Outcome outcome = outcomeOf(child, job->claimed);
    if (store_.finish(job->id, owner, outcome)) {
        if (metrics_ != nullptr) {
            metrics_->countVerification(outcome.verified, took.count());
        }
        std::cerr << "verifier " << owner << ": run " << job->id << ' '
                  << (outcome.verified ? "verified" : "rejected: " + outcome.reason) << '\n';
    }
    finished(job->id);
    return true;
}

} // namespace kestrada::server
