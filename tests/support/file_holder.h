#pragma once
// A child process that keeps a file open, as the game keeps its archives.

#include <sys/types.h>

#include <string>

namespace varune::test {

class THolder {
 public:
  // Holding() tells whether the child could open `path`.
  explicit THolder(const std::string& path);
  // Kills the child.
  ~THolder();
  THolder(const THolder&) = delete;
  THolder& operator=(const THolder&) = delete;

  bool Holding() const { return FHolding; }

 private:
  pid_t FChild = -1;
  bool FHolding = false;
};

}  // namespace varune::test
