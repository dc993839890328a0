// Archive directories from untrusted bytes.

#include "archive/error.h"
#include "archive/spf.h"
#include "archive/spf_writer.h"
#include "fuzz_target.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  varune::TBinaryStream stream(const_cast<uint8_t*>(data), static_cast<int32_t>(size));
  varune::TSpf spf;
  try {
    spf.LoadFromStream(stream);
  } catch (const varune::Error&) {
    return 0;
  }
  for (int32_t i = 0; i < spf.Count(); ++i) (void)spf.IndexOf(spf.GetItem(i).FileName);
  (void)spf.IndexOf("DATA/LDT/ITEM_1.LDT");
  return 0;
}

namespace varune::fuzz {

std::vector<std::vector<uint8_t>> FuzzSeeds() {
  std::vector<std::vector<uint8_t>> seeds;
  TSpfWriter empty;
  seeds.push_back(empty.SaveToBytes());
  TSpfWriter some;
  some.Add("DATA/LDT/ITEM_1.LDT", {1, 2, 3, 4}, 5);
  some.Add("DATA/CHAR/CHARLAYER/CHARACTER.MFT", {}, 0);
  some.Add("データ/名前.PNG", {9, 9});
  some.SetVersion(3);
  seeds.push_back(some.SaveToBytes());
  return seeds;
}

}  // namespace varune::fuzz
