// Sequences from untrusted bytes.

#include "archive/error.h"
#include "formats/seq.h"
#include "formats/seq_writer.h"
#include "fuzz_target.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  varune::TBinaryStream stream(const_cast<uint8_t*>(data), static_cast<int32_t>(size));
  varune::TSeq seq;
  try {
    seq.LoadFromStream(stream);
  } catch (const varune::Error&) {
    return 0;
  }
  int64_t layers = 0;
  for (int32_t i = 0; i < seq.Count(); ++i) layers += static_cast<int64_t>(seq.GetItem(i).Items.size());
  return layers < 0;
}

namespace varune::fuzz {

std::vector<std::vector<uint8_t>> FuzzSeeds() {
  TSeqHeader header{};
  header.TotalTime = 0.4f;
  TSeqFrame walk{};
  walk.Time = 0.0999f;
  walk.Items = {{1, 1, 0, 10, 20, 1}, {23, 4, 90, -3, 5, 256}, {24, 2, -45, 0, 0, 0}};
  TSeqFrame empty{};
  empty.Time = 0.1f;
  return {WriteSeq(header, {}), WriteSeq(header, {walk, empty, walk})};
}

}  // namespace varune::fuzz
