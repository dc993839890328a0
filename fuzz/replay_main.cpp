// Runs a fuzz target's seeds through its entry point, or writes them out as
// the starting corpus of `make fuzz` (--write-seeds DIR).

#include <cstdio>
#include <cstring>
#include <string>

#include "archive/stream.h"
#include "fuzz_target.h"

int main(int argc, char** argv) {
  const auto seeds = varune::fuzz::FuzzSeeds();
  if (argc == 3 && std::strcmp(argv[1], "--write-seeds") == 0) {
    for (size_t i = 0; i < seeds.size(); ++i)
      varune::WriteWholeFile(std::string(argv[2]) + "/seed-" + std::to_string(i), seeds[i]);
    return 0;
  }
  if (argc != 1) {
    std::fprintf(stderr, "usage: %s [--write-seeds DIR]\n", argv[0]);
    return 2;
  }
  for (const auto& seed : seeds) LLVMFuzzerTestOneInput(seed.data(), seed.size());
  std::printf("%zu passed, 0 failed\n", seeds.size());
  return seeds.empty() ? 1 : 0;
}
