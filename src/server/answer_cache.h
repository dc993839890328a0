#pragma once
// Encoded answers by ETag, the least recently used dropped first once the
// bytes pass the bound. Thread-safe.

#include <cstdint>
#include <list>
#include <memory>
#include <mutex>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

namespace varune::server {

struct TAnswer {
  int Status = 200;
  std::string ContentType;
  std::string Body;
  std::vector<std::pair<std::string, std::string>> Headers;  // beyond the usual ones
};

class TAnswerCache {
 public:
  explicit TAnswerCache(uint64_t MaxBytes) : FMaxBytes(MaxBytes) {}

  std::shared_ptr<const TAnswer> Find(const std::string& Key);
  // An answer larger than the whole bound is not kept.
  void Add(const std::string& Key, std::shared_ptr<const TAnswer> Answer);

  uint64_t Bytes() const;
  uint64_t Hits() const;
  uint64_t Misses() const;

 private:
  using TEntry = std::pair<std::string, std::shared_ptr<const TAnswer>>;
  static uint64_t SizeOf(const TEntry& Entry);

  const uint64_t FMaxBytes;
  mutable std::mutex FLock;
  std::list<TEntry> FOrder;  // most recent first
  std::unordered_map<std::string, std::list<TEntry>::iterator> FIndex;
  uint64_t FBytes = 0, FHits = 0, FMisses = 0;
};

}  // namespace varune::server
