// PNG pictures from untrusted bytes (game sheets, save-slot previews), with
// the reads the surface conversion makes.

#include "archive/error.h"
#include "fuzz_target.h"
#include "imaging/apng.h"
#include "imaging/png.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  varune::TPngImage image;
  try {
    // Smaller than the product's limit, so that the fuzzer's memory cap holds.
    image = varune::DecodePng(data, size, uint64_t{1} << 22);
  } catch (const varune::Error&) {
    return 0;
  }
  (void)image.TransparencyMode();
  (void)image.TransparentColor();
  uint32_t sum = 0;
  for (int32_t y = 0; y < image.Height; ++y)
    for (int32_t x = 0; x < image.Width; ++x) sum += image.PixelColor32(x, y);
  return sum == 1 ? 0 : 0;
}

namespace varune::fuzz {

std::vector<std::vector<uint8_t>> FuzzSeeds() {
  TBitmap32 bitmap(7, 5);
  for (int32_t y = 0; y < 5; ++y)
    for (int32_t x = 0; x < 7; ++x)
      bitmap.Pixel(x, y) = Color32(static_cast<uint8_t>(x * 40), static_cast<uint8_t>(y * 60), 90,
                                   static_cast<uint8_t>(x * y * 10));
  TApngWriter animation(7, 5);
  animation.AddFrame(bitmap, 100);
  animation.AddFrame(TBitmap32(7, 5), 50);
  return {EncodePng(bitmap, ppfRGB), EncodePng(bitmap, ppfRGBA), EncodePng(TBitmap32(1, 1), ppfRGBA),
          animation.Finish()};
}

}  // namespace varune::fuzz
