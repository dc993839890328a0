#include "server/answer_cache.h"

namespace varune::server {

uint64_t TAnswerCache::SizeOf(const TEntry& Entry) {
  uint64_t size = Entry.first.size() + Entry.second->Body.size() + Entry.second->ContentType.size() + 64;
  for (const auto& [name, value] : Entry.second->Headers) size += name.size() + value.size();
  return size;
}

std::shared_ptr<const TAnswer> TAnswerCache::Find(const std::string& Key) {
  std::lock_guard lock(FLock);
  const auto found = FIndex.find(Key);
  if (found == FIndex.end()) {
    ++FMisses;
    return nullptr;
  }
  ++FHits;
  FOrder.splice(FOrder.begin(), FOrder, found->second);
  return found->second->second;
}

void TAnswerCache::Add(const std::string& Key, std::shared_ptr<const TAnswer> Answer) {
  TEntry entry{Key, std::move(Answer)};
  const uint64_t size = SizeOf(entry);
  if (size > FMaxBytes) return;
  std::lock_guard lock(FLock);
  if (FIndex.contains(Key)) return;  // two threads made the same answer
  FOrder.push_front(std::move(entry));
  FIndex.emplace(Key, FOrder.begin());
  FBytes += size;
  while (FBytes > FMaxBytes) {
    FBytes -= SizeOf(FOrder.back());
    FIndex.erase(FOrder.back().first);
    FOrder.pop_back();
  }
}

uint64_t TAnswerCache::Bytes() const {
  std::lock_guard lock(FLock);
  return FBytes;
}
uint64_t TAnswerCache::Hits() const {
  std::lock_guard lock(FLock);
  return FHits;
}
uint64_t TAnswerCache::Misses() const {
  std::lock_guard lock(FLock);
  return FMisses;
}

}  // namespace varune::server
