#include "app/heap_warmer.h"

#include <malloc.h>
#include <sys/mman.h>
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <system_error>

namespace varune::app {
namespace {

// glibc's largest threshold for serving a request by a mapping of its own.
constexpr int kMaxMmapThreshold = 32 << 20;
// More than glibc's header between two heap blocks in a row.
constexpr uintptr_t kMaxBlockHeader = 64;

}  // namespace

THeapWarmer::THeapWarmer(size_t Bytes) {
  const size_t half = Bytes / 2;
  if (std::thread::hardware_concurrency() < 2 || half == 0 || half >= size_t{kMaxMmapThreshold}) return;
  // Large pictures come from the heap too, and the heap's warm top is not
  // given back: either would otherwise mean fresh pages again.
  mallopt(M_MMAP_THRESHOLD, kMaxMmapThreshold);
  mallopt(M_TRIM_THRESHOLD, static_cast<int>(2 * Bytes));
  // Two requests below the threshold grow the heap, untouched; freed, they
  // leave its top spanning the range. Only blocks in a row are warmed:
  // between blocks apart lie other mappings.
  void* low = std::malloc(half);
  void* high = std::malloc(half);
  const auto lowAt = reinterpret_cast<uintptr_t>(low), highAt = reinterpret_cast<uintptr_t>(high);
  const bool inRow = low != nullptr && high != nullptr && highAt > lowAt && highAt - lowAt - half <= kMaxBlockHeader;
  std::free(high);
  std::free(low);
  if (!inRow) return;
  const auto page = static_cast<uintptr_t>(sysconf(_SC_PAGESIZE));
  const uintptr_t first = (lowAt + page - 1) & ~(page - 1), end = (highAt + half) & ~(page - 1);
  // Page by page: each call holds the address space's lock, and the main
  // thread's calls that change its mappings must not wait behind a long
  // one. A kernel before 5.14 refuses the advice: the pages then fault in
  // as they are used, as without the warmer.
  try {
    FWorker = std::thread([first, end, page] {
      for (uintptr_t at = first; at < end; at += page)
        if (madvise(reinterpret_cast<void*>(at), page, MADV_POPULATE_WRITE) != 0) return;
    });
  } catch (const std::system_error&) {
    // No thread to spare: the same as without the warmer.
  }
}

THeapWarmer::~THeapWarmer() {
  if (FWorker.joinable()) FWorker.join();
}

}  // namespace varune::app
