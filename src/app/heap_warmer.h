#pragma once
// The database's load and the first pictures take some 32 MB of fresh heap,
// and the kernel supplies each fresh page on its first touch: about 1.7
// microseconds a page on the virtual machines the program is measured on,
// which is a third of the load's time there. THeapWarmer grows the heap by
// that much at once and has the kernel fault it in on a second core, ahead
// of the main thread. MADV_POPULATE_WRITE leaves the contents alone, so the
// main thread may already be using the memory meanwhile.

#include <cstddef>
#include <thread>

namespace varune::app {

class THeapWarmer {
 public:
  // What a full client's start takes from the load to the first paint (the
  // large demo client: 25 MB for the database, 33 MB in all).
  static constexpr size_t kStartupHeap = size_t{32} << 20;

  // Does nothing on a single core, where the faults would only take turns
  // with the start's own work, nor where the heap does not grow in one
  // piece (as under the sanitizers' allocators).
  explicit THeapWarmer(size_t Bytes = kStartupHeap);
  ~THeapWarmer();  // waits for the faulting to end
  THeapWarmer(const THeapWarmer&) = delete;
  THeapWarmer& operator=(const THeapWarmer&) = delete;

 private:
  std::thread FWorker;
};

}  // namespace varune::app
