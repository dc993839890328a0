#include "server/render_pool.h"

#include <algorithm>

namespace varune::server {

TRenderPool::TRenderPool(int32_t Threads, int32_t Queue) : FQueue(std::max(0, Queue)) {
  const int32_t count = std::max(1, Threads);
  FIdle = count;
  for (int32_t i = 0; i < count; ++i) FThreads.emplace_back([this] { Work(); });
}

TRenderPool::~TRenderPool() {
  {
    std::lock_guard lock(FLock);
    FStopping = true;
  }
  FWake.notify_all();
  for (std::thread& thread : FThreads) thread.join();
}

bool TRenderPool::Submit(std::function<void()> Job) {
  {
    std::lock_guard lock(FLock);
    // Jobs not yet picked up count against the idle threads first.
    if (static_cast<int64_t>(FJobs.size()) >= int64_t{FQueue} + FIdle) return false;
    FJobs.push_back(std::move(Job));
  }
  FWake.notify_one();
  return true;
}

int32_t TRenderPool::Waiting() const {
  std::lock_guard lock(FLock);
  return static_cast<int32_t>(FJobs.size());
}

int32_t TRenderPool::Running() const {
  std::lock_guard lock(FLock);
  return FRunning;
}

void TRenderPool::Work() {
  std::unique_lock lock(FLock);
  while (true) {
    FWake.wait(lock, [this] { return FStopping || !FJobs.empty(); });
    if (FJobs.empty()) return;
    std::function<void()> job = std::move(FJobs.front());
    FJobs.pop_front();
    --FIdle;
    ++FRunning;
    lock.unlock();
    job();  // jobs catch their own errors: a reply is owed whatever happens
    job = nullptr;
    lock.lock();
    --FRunning;
    ++FIdle;
  }
}

}  // namespace varune::server
