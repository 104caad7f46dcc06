// SPDX-License-Identifier: GPL-3.0-or-later
// What an operator watches, in Prometheus' text format: requests by route
// and status, runs verified and rejected here, and how long a
// verification takes.
#pragma once

#include <array>
#include <cstdint>
#include <map>
#include <mutex>
#include <string>
#include <utility>

namespace kestrada::server {

// Read when the metrics are asked for.
struct MetricsGauges {
    int64_t queued = 0;
    double oldestQueuedSeconds = 0;
    std::size_t openConnections = 0;
};

class Metrics {
  public:
    static constexpr std::array<double, 8> kBuckets = {0.005, 0.01, 0.025, 0.05, 0.1, 0.25, 1, 5};

    void countRequest(const std::string& route, int status);
    void countVerification(bool verified, double seconds);
    std::string text(const MetricsGauges& gauges) const;

  private:
    mutable std::mutex mutex_;
    std::map<std::pair<std::string, int>, uint64_t> requests_;
    uint64_t verified_ = 0;
    uint64_t rejected_ = 0;
    std::array<uint64_t, kBuckets.size()> buckets_{};
    uint64_t verifications_ = 0;
    double verificationSeconds_ = 0;
};

// The route a path counts under: "/api/runs/ID" for any id, "static" for the page's files.
std::string routeOf(const std::string& path);

} // namespace kestrada::server
