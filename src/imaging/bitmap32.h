#pragma once
// The 32-bit ARGB pixel surface every picture is composed on.
//
// Pixels are row-major, top row first, rows without gaps; in memory a pixel's
// bytes are blue, green, red, alpha. A new surface is 0 x 0; any size change
// clears every pixel to 0 (transparent black).

#include <cstddef>
#include <cstdint>
#include <vector>

namespace varune {

using TColor32 = uint32_t;  // $AARRGGBB

constexpr TColor32 Color32(uint8_t r, uint8_t g, uint8_t b, uint8_t a = 255) {
  return (TColor32{a} << 24) | (TColor32{r} << 16) | (TColor32{g} << 8) | b;
}
constexpr uint8_t AlphaComponent(TColor32 c) { return static_cast<uint8_t>(c >> 24); }
constexpr uint8_t RedComponent(TColor32 c) { return static_cast<uint8_t>(c >> 16); }
constexpr uint8_t GreenComponent(TColor32 c) { return static_cast<uint8_t>(c >> 8); }
constexpr uint8_t BlueComponent(TColor32 c) { return static_cast<uint8_t>(c); }

enum TDrawMode { dmOpaque, dmBlend, dmCustom, dmTransparent };
enum TCombineMode { cmBlend, cmMerge };

class TBitmap32 {
 public:
  TBitmap32() = default;
  TBitmap32(int32_t width, int32_t height) { SetSize(width, height); }

  int32_t Width() const { return FWidth; }
  int32_t Height() const { return FHeight; }
  bool Empty() const { return FWidth <= 0 || FHeight <= 0; }

  // Changes the size; every pixel becomes 0, even when the size is the same.
  void SetSize(int32_t NewWidth, int32_t NewHeight);
  void SetWidth(int32_t NewWidth) { SetSize(NewWidth, FHeight); }
  void SetHeight(int32_t NewHeight) { SetSize(FWidth, NewHeight); }

  TColor32* Bits() { return FBits.data(); }
  const TColor32* Bits() const { return FBits.data(); }
  TColor32* GetScanLine(int32_t Y) { return FBits.data() + static_cast<size_t>(Y) * static_cast<size_t>(FWidth); }
  const TColor32* GetScanLine(int32_t Y) const {
    return FBits.data() + static_cast<size_t>(Y) * static_cast<size_t>(FWidth);
  }
  TColor32& Pixel(int32_t X, int32_t Y) { return GetScanLine(Y)[X]; }
  TColor32 Pixel(int32_t X, int32_t Y) const { return GetScanLine(Y)[X]; }

  TDrawMode DrawMode = dmOpaque;
  TCombineMode CombineMode = cmBlend;
  uint8_t MasterAlpha = 255;
  TColor32 OuterColor = 0;

 private:
  int32_t FWidth = 0;
  int32_t FHeight = 0;
  std::vector<TColor32> FBits;
};

}  // namespace varune
