#pragma once
// What every fuzz target source provides.

#include <cstddef>
#include <cstdint>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

namespace varune::fuzz {

// Inputs made by the project's writers: the corpus `make fuzz` starts from,
// and the cases ctest replays.
std::vector<std::vector<uint8_t>> FuzzSeeds();

}  // namespace varune::fuzz
