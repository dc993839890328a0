// Sprite tables from untrusted bytes, with every lookup the renderer makes.

#include "archive/error.h"
#include "formats/tbl.h"
#include "formats/tbl_writer.h"
#include "fuzz_target.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  varune::TBinaryStream stream(const_cast<uint8_t*>(data), static_cast<int32_t>(size));
  varune::TTbl tbl(size % 2 == 1);
  try {
    tbl.LoadFromStream(stream);
  } catch (const varune::Error&) {
    return 0;
  }
  for (int32_t i = 0; i < tbl.Count(); ++i) {
    const varune::TTblItem& item = tbl.GetItem(i);
    (void)tbl.IndexOf(item.ID());
    for (int32_t id = -2; id < 40; ++id) {
      (void)item.GetImageByID(id);
      (void)item.IndexOfID23(id);
      (void)item.IndexOfID24(id);
    }
  }
  return 0;
}

namespace varune::fuzz {

std::vector<std::vector<uint8_t>> FuzzSeeds() {
  auto cell = [](int32_t id) {
    TTblImage image;
    image.ID = id;
    image.Offset = {id, -id};
    image.RevX = 1.5f;
    image.RevY = -2.0f;
    image.Rect = {0, 0, 40, 60};
    image.FileName = "CHAR_0001.PNG";
    return image;
  };
  std::vector<TTblItemData> items;
  items.push_back({3, "05_0012_003_02", {cell(0), cell(3), cell(6)}});
  items.push_back({2, "05_0012_001_01", {cell(0), cell(9)}});
  items.push_back({4, "23_0001_001_01", {cell(0), cell(1), cell(7)}});  // declares more than it holds
  return {WriteTbl(0, {}), WriteTbl(7, items)};
}

}  // namespace varune::fuzz
