// SPDX-License-Identifier: GPL-3.0-or-later
#include "server/metrics.h"

#include <set>
#include <sstream>

namespace kestrada::server {

void Metrics::countRequest(const std::string& route, int status) {
    std::lock_guard lock(mutex_);
    ++requests_[{route, status}];
}

void Metrics::countVerification(bool verified, double seconds) {
    std::lock_guard lock(mutex_);
    ++(verified ? verified_ : rejected_);
    ++verifications_;
    verificationSeconds_ += seconds;
    for (std::size_t i = 0; i < kBuckets.size(); ++i) {
        if (seconds <= kBuckets[i]) {
            ++buckets_[i];
        }
    }
}

std::string Metrics::text(const MetricsGauges& gauges) const {
    std::ostringstream out;
    std::lock_guard lock(mutex_);
    out << "# HELP kestrada_http_requests_total Requests answered, by route and status.\n"
        << "# TYPE kestrada_http_requests_total counter\n";
    for (const auto& [key, count] : requests_) {
        out << "kestrada_http_requests_total{route=\"" << key.first << "\",status=\"" << key.second
            << "\"} " << count << '\n';
    }
    out << "# HELP kestrada_runs_queued Runs waiting for verification.\n"
        << "# TYPE kestrada_runs_queued gauge\n"
        << "kestrada_runs_queued " << gauges.queued << '\n'
        << "# HELP kestrada_oldest_queued_run_seconds Age of the oldest queued run.\n"
        << "# TYPE kestrada_oldest_queued_run_seconds gauge\n"
        << "kestrada_oldest_queued_run_seconds " << gauges.oldestQueuedSeconds << '\n'
        << "# HELP kestrada_open_connections Client connections open now.\n"
        << "# TYPE kestrada_open_connections gauge\n"
        << "kestrada_open_connections " << gauges.openConnections << '\n'
        << "# HELP kestrada_runs_finished_total Runs this process finished, by outcome.\n"
        << "# TYPE kestrada_runs_finished_total counter\n"
        << "kestrada_runs_finished_total{outcome=\"verified\"} " << verified_ << '\n'
        << "kestrada_runs_finished_total{outcome=\"rejected\"} " << rejected_ << '\n'
        << "# HELP kestrada_verification_seconds Time to replay one run.\n"
        << "# TYPE kestrada_verification_seconds histogram\n";
    for (std::size_t i = 0; i < kBuckets.size(); ++i) {
        out << "kestrada_verification_seconds_bucket{le=\"" << kBuckets[i] << "\"} " << buckets_[i]
            << '\n';
    }
    out << "kestrada_verification_seconds_bucket{le=\"+Inf\"} " << verifications_ << '\n'
        << "kestrada_verification_seconds_sum " << verificationSeconds_ << '\n'
        << "kestrada_verification_seconds_count " << verifications_ << '\n';
    return out.str();
}

std::string routeOf(const std::string& path) {
    static const std::string runs = "/api/runs/";
    static const std::set<std::string> known = {"/api/runs", "/api/boards/all", "/api/boards/road",
                                                "/api/road", "/api/health",     "/api/names/check",
                                                "/metrics"};
    if (path.starts_with(runs)) {
        return path.ends_with("/recording") ? "/api/runs/ID/recording" : "/api/runs/ID";
    }
    if (known.count(path) != 0) {
        return path;
    }
    return path.starts_with("/api/") ? "other" : "static";
}

} // namespace kestrada::server
