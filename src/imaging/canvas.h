#pragma once
// The drawing canvas of a surface: what the window system's canvas does for
// the system, written straight into the surface's pixels. Pictures are drawn
// in their own size with their top-left at the given point; text is output
// with a transparent background. Everything is clipped to the surface.

#include <cstdint>
#include <string_view>

#include "imaging/bitmap32.h"
#include "imaging/font.h"
#include "imaging/png.h"

namespace varune {

class TCanvas {
 public:
  explicit TCanvas(TBitmap32& Target) : FTarget(Target) {}

  TBitmap32& Target() { return FTarget; }

  // Font of TextOut and the measurements.
  TFont Font;

  // A PNG picture, every kind of transparency applied, blended by the blend rule.
  void Draw(int32_t X, int32_t Y, const TPngImage& Picture);
  // The SrcRect part of a PNG picture, the same way.
  void Draw(int32_t X, int32_t Y, const TPngImage& Picture, const TRect& SrcRect);
  // An opaque picture (a decoded BMP): pixels copied, all four channels.
  void Draw(int32_t X, int32_t Y, const TBitmap32& Picture);
  // Copies SrcRect of Source onto Dest, stretched by nearest pixel when the
  // sizes differ; pixels copied as they are.
  void CopyRect(const TRect& Dest, const TBitmap32& Source, const TRect& SrcRect);

  // Text in Font.Color, written opaque (alpha 255); the background stays.
  void TextOut(int32_t X, int32_t Y, std::string_view Text);
  int32_t TextWidth(std::string_view Text) const;
  int32_t TextHeight(std::string_view Text) const;

 private:
  TBitmap32& FTarget;
};

}  // namespace varune
