// Manifests from untrusted bytes.

#include <cstring>

#include "archive/error.h"
#include "formats/tbl.h"
#include "formats/tbl_writer.h"
#include "fuzz_target.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  varune::TBinaryStream stream(const_cast<uint8_t*>(data), static_cast<int32_t>(size));
  varune::TMft mft;
  try {
    mft.LoadFromStream(stream);
  } catch (const varune::Error&) {
    return 0;
  }
  for (int32_t i = 0; i < mft.Count(); ++i) (void)mft.GetItem(i);
  return 0;
}

namespace varune::fuzz {

std::vector<std::vector<uint8_t>> FuzzSeeds() {
  TMftHeader header{};
  std::strcpy(header.Signature, "CHARACTER LAYER");
  header.Unknown3 = 1.0f;
  return {WriteMft(header, {}), WriteMft(header, {"LAYER01.TBL", "", "SUB/LAYER02.TBL", "日本語.TBL"})};
}

}  // namespace varune::fuzz
