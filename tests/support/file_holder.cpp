#include "support/file_holder.h"

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>

namespace varune::test {

THolder::THolder(const std::string& path) {
  int ready[2];
  if (pipe(ready) != 0) return;
  FChild = fork();
  if (FChild == 0) {
    const int fd = open(path.c_str(), O_RDONLY);
    const char byte = fd >= 0 ? 'y' : 'n';
    (void)!write(ready[1], &byte, 1);
    pause();
    _exit(0);
  }
  char byte = 0;
  FHolding = read(ready[0], &byte, 1) == 1 && byte == 'y';
  close(ready[0]);
  close(ready[1]);
}

THolder::~THolder() {
  if (FChild <= 0) return;
  kill(FChild, SIGKILL);
  waitpid(FChild, nullptr, 0);
}

}  // namespace varune::test
