#include <cstdio>
#include <cstring>

int main(int argc, char** argv) {
  if (argc > 1 && std::strcmp(argv[1], "--help") == 0) {
    std::puts("usage: varune-cli COMMAND ...");
    return 0;
  }
  std::fputs("usage: varune-cli COMMAND ... (see --help)\n", stderr);
  return 2;
}
