#pragma once
// The service's counters, written in Prometheus' text format.

#include <array>
#include <cstdint>
#include <map>
#include <mutex>
#include <string>
#include <utility>

namespace varune::server {

struct TGauges {
  int32_t QueueDepth = 0;
  int32_t InFlight = 0;
  uint64_t CacheHits = 0;
  uint64_t CacheMisses = 0;
  uint64_t CacheBytes = 0;
};

class TMetrics {
 public:
  void Count(const std::string& Route, int Status, double Seconds);
  std::string Text(const TGauges& Gauges) const;

 private:
  static constexpr std::array<double, 10> kBuckets = {0.001, 0.005, 0.01, 0.025, 0.05, 0.1, 0.25, 0.5, 1, 5};
  mutable std::mutex FLock;
  std::map<std::pair<std::string, int>, uint64_t> FRequests;
  std::array<uint64_t, kBuckets.size()> FBucketCounts{};
  uint64_t FCount = 0;
  double FSum = 0;
};

}  // namespace varune::server
