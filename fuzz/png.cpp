// PNG pictures from untrusted bytes (game sheets, save-slot previews): the
// decoded planes with the reads the canvas makes, and the surface decoder of
// the sheet cache, which must give exactly what the planes say.

#include <algorithm>
#include <cstdlib>

#include "archive/error.h"
#include "fuzz_target.h"
#include "imaging/apng.h"
#include "imaging/png.h"

namespace {

// The sheet pixel the planes call for: PixelColor32, except that a keyed
// palette picture (mode bit) makes every pixel of the key colour transparent
// instead of applying its tRNS table.
varune::TColor32 SheetPixel(const varune::TPngImage& png, int32_t x, int32_t y) {
  const varune::TColor32 drawn = png.PixelColor32(x, y);
  if (png.ColorType != varune::pctPalette || png.TransparencyMode() != varune::ptmBit) return drawn;
  const varune::TColor32 opaque = drawn | 0xFF000000;
  return opaque == png.TransparentColor() ? drawn & 0x00FFFFFF : opaque;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  // Smaller than the product's limit, so that the fuzzer's memory cap holds.
  constexpr uint64_t kMaxPixels = uint64_t{1} << 22;
  varune::TPngImage image;
  try {
    image = varune::DecodePng(data, size, kMaxPixels);
  } catch (const varune::Error&) {
    // Whatever the planes refuse, the surface decoder refuses too, and not
    // for the palette.
    try {
      (void)varune::DecodePngToBitmap32(data, size, kMaxPixels);
      std::abort();
    } catch (const varune::TPngPaletteRangeError&) {
      std::abort();
    } catch (const varune::Error&) {
    }
    return 0;
  }
  (void)image.TransparencyMode();
  (void)image.TransparentColor();

  const bool lacksEntry = image.ColorType == varune::pctPalette && image.TransparencyMode() == varune::ptmPartial &&
                          std::any_of(image.Indices.begin(), image.Indices.end(),
                                      [&](uint8_t i) { return i >= image.Palette.size(); });
  varune::TBitmap32 surface;
  try {
    surface = varune::DecodePngToBitmap32(data, size, kMaxPixels);
  } catch (const varune::TPngPaletteRangeError&) {
    if (!lacksEntry) std::abort();
    return 0;
  }
  if (lacksEntry || surface.Width() != image.Width || surface.Height() != image.Height) std::abort();
  for (int32_t y = 0; y < image.Height; ++y)
    for (int32_t x = 0; x < image.Width; ++x)
      if (surface.Pixel(x, y) != SheetPixel(image, x, y)) std::abort();
  return 0;
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

  // A keyed palette sheet whose key colour two entries share, and an RGB one.
  TPngImage keyed;
  keyed.Width = 4;
  keyed.Height = 2;
  keyed.ColorType = pctPalette;
  keyed.Palette = {{9, 9, 9}, {200, 100, 50}, {9, 9, 9}};
  keyed.Indices = {0, 1, 2, 1, 2, 0, 1, 1};
  for (uint8_t index : keyed.Indices)
    keyed.Rgb.insert(keyed.Rgb.end(), keyed.Palette[index].begin(), keyed.Palette[index].end());
  keyed.HasTrns = true;
  keyed.TrnsCount = 1;
  keyed.TrnsAlpha[0] = 0;
  TPngImage rgbKey = keyed;
  rgbKey.ColorType = pctRGB;
  rgbKey.Palette.clear();
  rgbKey.TrnsRed = rgbKey.TrnsGreen = rgbKey.TrnsBlue = 9;
  return {EncodePng(bitmap, ppfRGB), EncodePng(bitmap, ppfRGBA), EncodePng(TBitmap32(1, 1), ppfRGBA),
          animation.Finish(), EncodePngImage(keyed), EncodePngImage(rgbKey)};
}

}  // namespace varune::fuzz
