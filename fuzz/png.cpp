// PNG pictures from untrusted bytes (game sheets, save-slot previews): the
// decoded planes with the reads the canvas makes, and the surface decoder of
// the sheet cache, which must give exactly what the planes say. Each input
// also runs with its CRCs made right, and as the filtered rows of a picture
// for the row reader alone, past the checksums no mutation keeps.

#include <zlib.h>

#include <algorithm>
#include <cstdlib>

#include "archive/error.h"
#include "fuzz_target.h"
#include "imaging/apng.h"
#include "imaging/png.h"
#include "imaging/png_rows.h"

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

// The same bytes with every chunk's CRC made right, so that mutations of
// the pixel data get past the CRC check to the inflating and the filters.
std::vector<uint8_t> WithGoodCrcs(const uint8_t* data, size_t size) {
  std::vector<uint8_t> out(data, data + size);
  for (size_t at = 8; at + 12 <= out.size();) {
    const uint32_t length = uint32_t{out[at]} << 24 | uint32_t{out[at + 1]} << 16 | uint32_t{out[at + 2]} << 8 | out[at + 3];
    if (length > out.size() - at - 12) break;
    const uint32_t crc = static_cast<uint32_t>(crc32(0, &out[at + 4], length + 4));
    for (int i = 0; i < 4; ++i) out[at + 8 + length + i] = static_cast<uint8_t>(crc >> (24 - 8 * i));
    at += size_t{length} + 12;
  }
  return out;
}

void CheckBothDecoders(const uint8_t* data, size_t size) {
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
    return;
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
    return;
  }
  if (lacksEntry || surface.Width() != image.Width || surface.Height() != image.Height) std::abort();
  for (int32_t y = 0; y < image.Height; ++y)
    for (int32_t x = 0; x < image.Width; ++x)
      if (surface.Pixel(x, y) != SheetPixel(image, x, y)) std::abort();
}

// The input after its first byte, deflated, as the rows of a picture whose
// pixel size and width that byte sets: the reader refuses only a filter
// type PNG lacks.
void CheckRowReader(const uint8_t* data, size_t size) {
  if (size < 2) return;
  const size_t bpp = data[0] % 4 + 1, rowBytes = bpp * (data[0] / 4 % 16 + 1);
  const size_t height = (size - 1) / (rowBytes + 1), rawSize = height * (rowBytes + 1);
  if (height == 0) return;
  uLongf streamSize = compressBound(rawSize);
  std::vector<uint8_t> chunk(12 + streamSize);
  if (compress(&chunk[8], &streamSize, data + 1, rawSize) != Z_OK) std::abort();
  chunk.resize(12 + streamSize);
  for (int i = 0; i < 4; ++i) chunk[i] = static_cast<uint8_t>(streamSize >> (24 - 8 * i));
  std::copy_n("IDAT", 4, &chunk[4]);
  const uint32_t crc = static_cast<uint32_t>(crc32(0, &chunk[4], static_cast<uInt>(streamSize + 4)));
  for (int i = 0; i < 4; ++i) chunk[8 + streamSize + i] = static_cast<uint8_t>(crc >> (24 - 8 * i));

  std::vector<uint8_t> rows;
  bool unknownFilter = false;
  for (size_t y = 0; y < height; ++y) unknownFilter |= data[1 + y * (rowBytes + 1)] > 4;
  if (varune::InflatePngRows(chunk.data(), chunk.size(), 0, height, rowBytes, bpp, rows) == unknownFilter)
    std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  CheckBothDecoders(data, size);
  const std::vector<uint8_t> fixed = WithGoodCrcs(data, size);
  CheckBothDecoders(fixed.data(), fixed.size());
  CheckRowReader(data, size);
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
