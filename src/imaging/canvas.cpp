#include "imaging/canvas.h"

#include <algorithm>

#include "imaging/blend.h"
#include "imaging/text.h"

namespace varune {

void TCanvas::Draw(int32_t X, int32_t Y, const TPngImage& Picture) {
  Draw(X, Y, Picture, TRect{0, 0, Picture.Width, Picture.Height});
}

void TCanvas::Draw(int32_t X, int32_t Y, const TPngImage& Picture, const TRect& SrcRect) {
  // Clip the source to the picture, then the placed rectangle to the target.
  const int32_t left = std::max(SrcRect.Left, 0), top = std::max(SrcRect.Top, 0);
  const int32_t right = std::min(SrcRect.Right, Picture.Width), bottom = std::min(SrcRect.Bottom, Picture.Height);
  for (int32_t sy = top; sy < bottom; ++sy) {
    const int64_t y = int64_t{Y} + (sy - SrcRect.Top);
    if (y < 0 || y >= FTarget.Height()) continue;
    TColor32* row = FTarget.GetScanLine(static_cast<int32_t>(y));
    for (int32_t sx = left; sx < right; ++sx) {
      const int64_t x = int64_t{X} + (sx - SrcRect.Left);
      if (x < 0 || x >= FTarget.Width()) continue;
      row[x] = BlendPixel(Picture.PixelColor32(sx, sy), row[x]);
    }
  }
}

void TCanvas::Draw(int32_t X, int32_t Y, const TBitmap32& Picture) {
  CopyRect(TRect{X, Y, X + Picture.Width(), Y + Picture.Height()}, Picture, Picture.BoundsRect());
}

void TCanvas::CopyRect(const TRect& Dest, const TBitmap32& Source, const TRect& SrcRect) {
  if (Dest.Empty() || SrcRect.Empty()) return;
  const int32_t x1 = std::max(Dest.Left, 0), y1 = std::max(Dest.Top, 0);
  const int32_t x2 = std::min(Dest.Right, FTarget.Width()), y2 = std::min(Dest.Bottom, FTarget.Height());
  const int64_t dw = Dest.Width(), dh = Dest.Height(), sw = SrcRect.Width(), sh = SrcRect.Height();
  for (int32_t y = y1; y < y2; ++y) {
    const int64_t sy = SrcRect.Top + (int64_t{y} - Dest.Top) * sh / dh;
    if (sy < 0 || sy >= Source.Height()) continue;
    const TColor32* src = Source.GetScanLine(static_cast<int32_t>(sy));
    TColor32* dst = FTarget.GetScanLine(y);
    for (int32_t x = x1; x < x2; ++x) {
      const int64_t sx = SrcRect.Left + (int64_t{x} - Dest.Left) * sw / dw;
      if (sx >= 0 && sx < Source.Width()) dst[x] = src[sx];
    }
  }
}

void TCanvas::TextOut(int32_t X, int32_t Y, std::string_view Text) {
  RenderText(FTarget, Font, X, Y, Text, 0, Font.Color | 0xFF000000);
}

int32_t TCanvas::TextWidth(std::string_view Text) const { return varune::TextWidth(Font, Text); }

int32_t TCanvas::TextHeight(std::string_view Text) const { return varune::TextHeight(Font, Text); }

}  // namespace varune
