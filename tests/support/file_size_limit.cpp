#include "support/file_size_limit.h"

#include <gtest/gtest.h>

namespace varune::test {

FileSizeLimit::FileSizeLimit(rlim_t Bytes) {
  EXPECT_EQ(getrlimit(RLIMIT_FSIZE, &FSaved), 0);
  FHandler = std::signal(SIGXFSZ, SIG_IGN);
  rlimit small = FSaved;
  small.rlim_cur = Bytes;
  EXPECT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
}

FileSizeLimit::~FileSizeLimit() {
  setrlimit(RLIMIT_FSIZE, &FSaved);
  std::signal(SIGXFSZ, FHandler);
}

}  // namespace varune::test
