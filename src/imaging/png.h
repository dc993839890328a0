#pragma once
// PNG pictures: a decoded picture that keeps what the colour type says
// (palette indices, tRNS), a decoder straight into a surface by the picture's
// transparency mode, and the RGB / RGBA encoder for surfaces.
//
// Decoding never applies gamma. `TPngImage` never folds tRNS into the pixels:
// it keeps the raw facts, from which `TransparencyMode` and
// `TransparentColor` derive what the surface decoder applies. Samples of 16
// bits keep their high byte; grey levels of 1, 2 and 4 bits are scaled to 8
// bits.

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "archive/error.h"
#include "imaging/bitmap32.h"

namespace varune {

// IHDR colour types, with their values.
enum TPngColorType : uint8_t {
  pctGray = 0,
  pctRGB = 2,
  pctPalette = 3,
  pctGrayAlpha = 4,
  pctRGBA = 6,
};

// How the transparency of a decoded picture is to be read.
enum TPngTransparencyMode { ptmNone, ptmBit, ptmPartial };

using TPngRgb = std::array<uint8_t, 3>;

struct TPngImage {
  int32_t Width = 0;
  int32_t Height = 0;
  TPngColorType ColorType = pctRGBA;
  uint8_t BitDepth = 8;  // of the file; the pixels below are always 8-bit

  // Red, green, blue of every pixel, row-major, 3 bytes a pixel. For palette
  // pictures the palette colour of the index (black for an index the palette
  // lacks).
  std::vector<uint8_t> Rgb;
  // Alpha of every pixel, row-major; only for pctGrayAlpha and pctRGBA.
  std::vector<uint8_t> Alpha;
  // Palette index of every pixel, row-major; only for pctPalette.
  std::vector<uint8_t> Indices;
  // PLTE entries (up to 256).
  std::vector<TPngRgb> Palette;

  // tRNS chunk. For palette pictures TrnsAlpha holds one alpha per index,
  // 255 beyond the TrnsCount entries the chunk lists. For grey and RGB
  // pictures the raw samples of the chunk (file bit depth) are kept.
  bool HasTrns = false;
  int32_t TrnsCount = 0;
  std::array<uint8_t, 256> TrnsAlpha = FilledAlpha();
  uint16_t TrnsGray = 0;
  uint16_t TrnsRed = 0;
  uint16_t TrnsGreen = 0;
  uint16_t TrnsBlue = 0;

  // A blank RGBA picture: every pixel transparent black.
  static TPngImage Blank(int32_t Width, int32_t Height);

  size_t PixelCount() const { return static_cast<size_t>(Width) * static_cast<size_t>(Height); }
  bool HasAlphaChannel() const { return ColorType == pctGrayAlpha || ColorType == pctRGBA; }

  // The mode derived from colour type and tRNS chunk.
  TPngTransparencyMode TransparencyMode() const;
  // The colour that mode ptmBit makes transparent, opaque ($FF000000 plus the colour).
  TColor32 TransparentColor() const;

  // The pixel as straight ARGB with every kind of transparency applied: the
  // alpha channel, the palette's tRNS alpha, or alpha 0 where a grey or RGB
  // sample equals the tRNS sample. Used where a picture is simply drawn.
  TColor32 PixelColor32(int32_t X, int32_t Y) const;

 private:
  static std::array<uint8_t, 256> FilledAlpha() {
    std::array<uint8_t, 256> a;
    a.fill(255);
    return a;
  }
};

// Pictures above these sizes are refused before any pixel is stored, and so is
// a file too short to hold the pixel data its header claims (deflate expands
// at most 1032 : 1): room for the picture never exceeds what the bytes fill.
inline constexpr int32_t kMaxPngSide = 16384;
inline constexpr uint64_t kMaxPngPixels = uint64_t{64} << 20;

// Decodes a PNG file held in memory. Damaged, truncated or oversized input
// raises varune::Error.
TPngImage DecodePng(const uint8_t* Data, size_t Size, uint64_t MaxPixels = kMaxPngPixels);
inline TPngImage DecodePng(const std::vector<uint8_t>& Bytes) { return DecodePng(Bytes.data(), Bytes.size()); }
TPngImage LoadPngFromFile(const std::string& FileName);

// A palette index beyond the palette of a picture whose palette carries
// partial transparency.
class TPngPaletteRangeError : public Error {
 public:
  using Error::Error;
};

// Decodes a PNG file held in memory straight into a surface (straight alpha),
// with the pixels of `DecodePng`'s planes and the picture's transparency mode:
// none opaque; bit makes every pixel of `TransparentColor()` transparent
// (colour kept); partial takes the alpha channel or the palette's tRNS alpha.
// An index the palette lacks is black, or TPngPaletteRangeError in mode
// partial. Damaged, truncated or oversized input raises varune::Error.
TBitmap32 DecodePngToBitmap32(const uint8_t* Data, size_t Size, uint64_t MaxPixels = kMaxPngPixels);
inline TBitmap32 DecodePngToBitmap32(const std::vector<uint8_t>& Bytes) {
  return DecodePngToBitmap32(Bytes.data(), Bytes.size());
}

// Encodes a surface as 8-bit RGB (alpha dropped) or 8-bit RGBA (straight
// alpha as stored). An empty surface raises varune::Error.
enum TPngPixelFormat { ppfRGB, ppfRGBA };
std::vector<uint8_t> EncodePng(const TBitmap32& Bitmap, TPngPixelFormat Format);
void SavePngToFile(const std::string& FileName, const TBitmap32& Bitmap, TPngPixelFormat Format);

// Encodes a decoded-style picture in its own colour type at 8 bits: grey
// (from the red plane), RGB, palette (indices, PLTE and the first TrnsCount
// entries of TrnsAlpha as tRNS), grey or RGB with alpha; a grey or RGB
// picture with HasTrns gets the tRNS sample. Makes sheets of every
// transparency kind for tests and the demo client.
std::vector<uint8_t> EncodePngImage(const TPngImage& Image);

}  // namespace varune
