// Windows bitmaps from untrusted bytes (background pictures).

#include <cstring>

#include "archive/error.h"
#include "fuzz_target.h"
#include "imaging/bmp.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  try {
    const varune::TBitmap32 bitmap = varune::DecodeBmp(data, size, uint64_t{1} << 22);
    if (!bitmap.Empty()) (void)bitmap.Pixel(bitmap.Width() - 1, bitmap.Height() - 1);
  } catch (const varune::Error&) {
  }
  return 0;
}

namespace varune::fuzz {

std::vector<std::vector<uint8_t>> FuzzSeeds() {
  TBitmap32 bitmap(5, 3);
  for (int32_t y = 0; y < 3; ++y)
    for (int32_t x = 0; x < 5; ++x) bitmap.Pixel(x, y) = Color32(static_cast<uint8_t>(x * 50), static_cast<uint8_t>(y * 80), 7);
  const std::vector<uint8_t> bottomUp = EncodeBmp(bitmap);

  // The same pixels top-down, and as 32 bits per pixel with bit fields: the
  // writer makes only 24-bit files, the reader takes more.
  std::vector<uint8_t> topDown = bottomUp;
  const int32_t negative = -3;
  std::memcpy(&topDown[22], &negative, 4);

  std::vector<uint8_t> wide(bottomUp.begin(), bottomUp.begin() + 54);
  const uint32_t offset = 54 + 12, bits = 32, bitfields = 3, masks[3] = {0xFF0000, 0xFF00, 0xFF};
  std::memcpy(&wide[10], &offset, 4);
  std::memcpy(&wide[28], &bits, 2);
  std::memcpy(&wide[30], &bitfields, 4);
  wide.insert(wide.end(), reinterpret_cast<const uint8_t*>(masks), reinterpret_cast<const uint8_t*>(masks) + 12);
  for (int32_t y = 2; y >= 0; --y)
    for (int32_t x = 0; x < 5; ++x) {
      const TColor32 c = bitmap.Pixel(x, y);
      wide.insert(wide.end(), reinterpret_cast<const uint8_t*>(&c), reinterpret_cast<const uint8_t*>(&c) + 4);
    }
  return {bottomUp, topDown, wide, EncodeBmp(TBitmap32(1, 1))};
}

}  // namespace varune::fuzz
