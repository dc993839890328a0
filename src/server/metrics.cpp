#include "server/metrics.h"

#include <sstream>

namespace varune::server {

void TMetrics::Count(const std::string& Route, int Status, double Seconds) {
  std::lock_guard lock(FLock);
  ++FRequests[{Route, Status}];
  for (size_t i = 0; i < kBuckets.size(); ++i)
    if (Seconds <= kBuckets[i]) ++FBucketCounts[i];
  ++FCount;
  FSum += Seconds;
}

std::string TMetrics::Text(const TGauges& Gauges) const {
  std::ostringstream out;
  std::lock_guard lock(FLock);
  out << "# HELP varune_requests_total Requests answered, by route and status.\n"
         "# TYPE varune_requests_total counter\n";
  for (const auto& [key, count] : FRequests)
    out << "varune_requests_total{route=\"" << key.first << "\",status=\"" << key.second << "\"} " << count << "\n";
  out << "# HELP varune_request_seconds Time from request to answer.\n"
         "# TYPE varune_request_seconds histogram\n";
  for (size_t i = 0; i < kBuckets.size(); ++i)
    out << "varune_request_seconds_bucket{le=\"" << kBuckets[i] << "\"} " << FBucketCounts[i] << "\n";
  out << "varune_request_seconds_bucket{le=\"+Inf\"} " << FCount << "\n"
      << "varune_request_seconds_sum " << FSum << "\nvarune_request_seconds_count " << FCount << "\n";
  const std::pair<const char*, uint64_t> gauges[] = {
      {"varune_render_queue_depth gauge", static_cast<uint64_t>(Gauges.QueueDepth)},
      {"varune_renders_in_flight gauge", static_cast<uint64_t>(Gauges.InFlight)},
      {"varune_cache_hits_total counter", Gauges.CacheHits},
      {"varune_cache_misses_total counter", Gauges.CacheMisses},
      {"varune_cache_bytes gauge", Gauges.CacheBytes}};
  for (const auto& [nameAndType, value] : gauges) {
    const std::string text = nameAndType;
    const std::string name = text.substr(0, text.find(' '));
    out << "# TYPE " << text << "\n" << name << " " << value << "\n";
  }
  return out.str();
}

}  // namespace varune::server
