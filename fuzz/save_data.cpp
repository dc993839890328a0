// "save.dat" from untrusted bytes. Whatever a load keeps must also survive
// being written and read again: the same slots, read completely.

#include <zlib.h>

#include <cstring>
#include <string_view>

#include "archive/stream.h"
#include "fuzz_target.h"
#include "imaging/bmp.h"
#include "imaging/png.h"
#include "viewer/save_data.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  varune::TSaveData slots;
  varune::TMemoryStream input(std::vector<uint8_t>(data, data + size));
  try {
    if (slots.LoadFromStream(input) == varune::sfsUnknownVersion) return 0;
  } catch (const varune::Error&) {
    return 0;  // too short for a version
  }
  varune::TMemoryStream written;
  slots.SaveToStream(written);
  written.SetPosition(0);
  varune::TSaveData again;
  if (again.LoadFromStream(written) != varune::sfsComplete || again.Count() != slots.Count()) __builtin_trap();
  return 0;
}

namespace varune::fuzz {
namespace {

template <class T>
void Put(std::vector<uint8_t>& Bytes, T Value) {
  // Grown, then copied into: GCC 12 misreads a range insert here as an overflow.
  Bytes.resize(Bytes.size() + sizeof Value);
  std::memcpy(Bytes.data() + Bytes.size() - sizeof Value, &Value, sizeof Value);
}

TBitmap32 Picture(int32_t Size) {
  TBitmap32 picture(Size, Size);
  for (int32_t y = 0; y < Size; ++y)
    for (int32_t x = 0; x < Size; ++x) picture.Pixel(x, y) = Color32(static_cast<uint8_t>(x * 9), 80, static_cast<uint8_t>(y * 9));
  return picture;
}

// Ten positions of the old layout, the second and fourth holding a slot,
// the fourth with a deflated BMP preview.
std::vector<uint8_t> LegacyFile(int32_t Version) {
  const std::vector<uint8_t> bmp = EncodeBmp(Picture(6));
  uLongf storedSize = compressBound(bmp.size());
  std::vector<uint8_t> stored(storedSize);
  compress(stored.data(), &storedSize, bmp.data(), bmp.size());
  stored.resize(storedSize);

  std::vector<uint8_t> file;
  Put(file, Version);
  for (int32_t position = 1; position <= 10; ++position) {
    const bool present = position == 2 || position == 4;
    Put(file, static_cast<uint8_t>(present));
    if (!present) continue;
    Put(file, 45000.5);
    Put(file, uint8_t{1});
    if (Version == 2) Put(file, uint8_t{12});
    for (int32_t id : {1300101, 1400101, 1500101, 1600101, 1700101}) Put(file, id);
    Put(file, uint8_t{2});
    Put(file, int32_t{10100101});
    Put(file, int32_t{13010101});
    Put(file, static_cast<int32_t>(position == 4 ? bmp.size() : 0));
    Put(file, static_cast<int32_t>(position == 4 ? stored.size() : 0));
    if (position == 4) file.insert(file.end(), stored.begin(), stored.end());
  }
  return file;
}

}  // namespace

std::vector<std::vector<uint8_t>> FuzzSeeds() {
  TSaveData slots;
  TSaveItem& first = slots.Add();
  first.DateTime = 45000.75, first.Job = 3, first.BaseIDs = {1300101, 1400101, 1500101, -1, 1700101};
  first.EquipIDs = {10100101, 12040301};
  first.Image = EncodePng(Picture(8), ppfRGB);
  slots.Add().Gender = gtFemale;
  TMemoryStream current;
  slots.SaveToStream(current);
  return {current.Bytes(), LegacyFile(1), LegacyFile(2)};
}

}  // namespace varune::fuzz
