#pragma once
// A full disk for the length of one scope: files this process writes may not
// grow beyond a few bytes (RLIMIT_FSIZE), and SIGXFSZ is ignored so that a
// write beyond fails with EFBIG instead of ending the process. The tests run
// as root, so permissions cannot make a write fail.

#include <sys/resource.h>

#include <csignal>

namespace varune::test {

class FileSizeLimit {
 public:
  explicit FileSizeLimit(rlim_t Bytes);
  // Restores the limit and the signal's handler.
  ~FileSizeLimit();
  FileSizeLimit(const FileSizeLimit&) = delete;
  FileSizeLimit& operator=(const FileSizeLimit&) = delete;

 private:
  rlimit FSaved{};
  void (*FHandler)(int) = SIG_DFL;
};

}  // namespace varune::test
