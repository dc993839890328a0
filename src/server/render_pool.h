#pragma once
// The threads that draw and encode, never the I/O threads, with a bounded
// queue: a job the pool cannot take is refused at once, never waited for.

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

namespace varune::server {

class TRenderPool {
 public:
  // `Queue` jobs may wait beyond those running on the `Threads` threads.
  TRenderPool(int32_t Threads, int32_t Queue);
  ~TRenderPool();  // runs what is queued, then joins
  TRenderPool(const TRenderPool&) = delete;
  TRenderPool& operator=(const TRenderPool&) = delete;

  // False, with `Job` dropped, when every thread is busy and the queue full.
  bool Submit(std::function<void()> Job);

  int32_t Waiting() const;
  int32_t Running() const;

 private:
  void Work();

  const int32_t FQueue;
  mutable std::mutex FLock;
  std::condition_variable FWake;
  std::deque<std::function<void()>> FJobs;
  int32_t FIdle = 0;
  int32_t FRunning = 0;
  bool FStopping = false;
  std::vector<std::thread> FThreads;
};

}  // namespace varune::server
