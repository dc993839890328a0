#pragma once
// The 32-bit ARGB pixel surface every picture is composed on.
//
// Pixels are row-major, top row first, rows without gaps; in memory a pixel's
// bytes are blue, green, red, alpha. A new surface is 0 x 0; any size change
// clears every pixel to 0 (transparent black). Rectangles are half-open and
// every write is clipped to the surface.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "archive/geometry.h"

namespace varune {

using TColor32 = uint32_t;  // $AARRGGBB

constexpr TColor32 Color32(uint8_t r, uint8_t g, uint8_t b, uint8_t a = 255) {
  return (TColor32{a} << 24) | (TColor32{r} << 16) | (TColor32{g} << 8) | b;
}
constexpr uint8_t AlphaComponent(TColor32 c) { return static_cast<uint8_t>(c >> 24); }
constexpr uint8_t RedComponent(TColor32 c) { return static_cast<uint8_t>(c >> 16); }
constexpr uint8_t GreenComponent(TColor32 c) { return static_cast<uint8_t>(c >> 8); }
constexpr uint8_t BlueComponent(TColor32 c) { return static_cast<uint8_t>(c); }

// A window-system colour (0x00BBGGRR) as a pixel; its alpha stays 0.
constexpr TColor32 WinColorToColor32(uint32_t c) {
  return ((c & 0xFF) << 16) | (c & 0x00FF00) | ((c >> 16) & 0xFF);
}

enum TDrawMode { dmOpaque, dmBlend, dmCustom, dmTransparent };
enum TCombineMode { cmBlend, cmMerge };

class TCustomResampler;

class TBitmap32 {
 public:
  TBitmap32() = default;
  TBitmap32(int32_t width, int32_t height) { SetSize(width, height); }

  int32_t Width() const { return FWidth; }
  int32_t Height() const { return FHeight; }
  bool Empty() const { return FWidth <= 0 || FHeight <= 0; }
  TRect BoundsRect() const { return {0, 0, FWidth, FHeight}; }

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

  // Plain writes: no blending, all four channels.
  void Clear(TColor32 FillColor = 0);
  void ResetAlpha();  // alpha := 255 everywhere, colours kept
  void FillRect(int32_t X1, int32_t Y1, int32_t X2, int32_t Y2, TColor32 Value);
  void FrameRectS(int32_t X1, int32_t Y1, int32_t X2, int32_t Y2, TColor32 Value);
  // From (X1, Y1) towards (X2, Y2); the end point only when L is true.
  void Line(int32_t X1, int32_t Y1, int32_t X2, int32_t Y2, TColor32 Value, bool L = false);

  // Puts SrcRect of Src with its top-left at (DstX, DstY), by Src's DrawMode.
  void Draw(int32_t DstX, int32_t DstY, const TRect& SrcRect, const TBitmap32& Src);
  void Draw(int32_t DstX, int32_t DstY, const TBitmap32& Src) { Draw(DstX, DstY, Src.BoundsRect(), Src); }
  // Puts this whole surface onto Dst at (DstX, DstY) by this surface's DrawMode.
  void DrawTo(TBitmap32& Dst, int32_t DstX = 0, int32_t DstY = 0) const { Dst.Draw(DstX, DstY, *this); }

  // What a pixel S of this surface leaves on a destination pixel D, by this
  // surface's DrawMode, CombineMode and MasterAlpha. The drawing functions do
  // the same in bulk.
  TColor32 PutPixel(TColor32 S, TColor32 D) const;
  // True when putting is a plain copy (dmOpaque) or the plain blend rule
  // (dmBlend, cmBlend, MasterAlpha 255): the cases with fast row functions.
  bool PutsOpaque() const { return DrawMode == dmOpaque; }
  bool PutsPlainBlend() const { return DrawMode == dmBlend && CombineMode == cmBlend && MasterAlpha == 255; }

  // The sampler Transform reads this surface through: nearest pixel unless
  // another one (TDraftResampler) is installed. Resamplers hold no state and
  // may be shared between surfaces.
  const TCustomResampler& Resampler() const;
  void SetResampler(std::shared_ptr<const TCustomResampler> Value) { FResampler = std::move(Value); }

  TDrawMode DrawMode = dmOpaque;
  TCombineMode CombineMode = cmBlend;
  uint8_t MasterAlpha = 255;
  TColor32 OuterColor = 0;  // what samplers see outside the surface; the key colour of dmTransparent
  // dmCustom: combines F onto B with master alpha M. Unset, dmCustom copies.
  std::function<void(TColor32 F, TColor32& B, uint8_t M)> OnPixelCombine;

 private:
  int32_t FWidth = 0;
  int32_t FHeight = 0;
  std::vector<TColor32> FBits;
  std::shared_ptr<const TCustomResampler> FResampler;
};

enum TRgbOrder { roRGB, roBGR };

// Presents Src on a 24-bit picture (export, clipboard): the colour channels of
// every pixel that falls inside the picture, at (DstX, DstY); alpha is ignored.
void DrawToRgb24(const TBitmap32& Src, uint8_t* Dst, int32_t DstWidth, int32_t DstHeight, ptrdiff_t DstStride,
                 int32_t DstX = 0, int32_t DstY = 0, TRgbOrder Order = roRGB);
// The whole surface as packed rows of 3 * Width bytes.
std::vector<uint8_t> ToRgb24(const TBitmap32& Src, TRgbOrder Order = roRGB);

}  // namespace varune
