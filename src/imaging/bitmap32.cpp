#include "imaging/bitmap32.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "imaging/blend.h"
#include "imaging/resampler.h"

namespace varune {

void TBitmap32::SetSize(int32_t NewWidth, int32_t NewHeight) {
  FWidth = std::max(0, NewWidth);
  FHeight = std::max(0, NewHeight);
  FBits.assign(static_cast<size_t>(FWidth) * static_cast<size_t>(FHeight), 0);
}

void TBitmap32::Clear(TColor32 FillColor) { std::fill(FBits.begin(), FBits.end(), FillColor); }

void TBitmap32::ResetAlpha() {
  for (TColor32& p : FBits) p |= 0xFF000000u;
}

void TBitmap32::FillRect(int32_t X1, int32_t Y1, int32_t X2, int32_t Y2, TColor32 Value) {
  X1 = std::max(X1, 0);
  Y1 = std::max(Y1, 0);
  X2 = std::min(X2, FWidth);
  Y2 = std::min(Y2, FHeight);
  if (X2 <= X1 || Y2 <= Y1) return;
  for (int32_t y = Y1; y < Y2; ++y) std::fill_n(GetScanLine(y) + X1, X2 - X1, Value);
}

void TBitmap32::FrameRectS(int32_t X1, int32_t Y1, int32_t X2, int32_t Y2, TColor32 Value) {
  if (X2 <= X1 || Y2 <= Y1) return;
  FillRect(X1, Y1, X2, Y1 + 1, Value);
  FillRect(X1, Y2 - 1, X2, Y2, Value);
  FillRect(X1, Y1, X1 + 1, Y2, Value);
  FillRect(X2 - 1, Y1, X2, Y2, Value);
}

void TBitmap32::Line(int32_t X1, int32_t Y1, int32_t X2, int32_t Y2, TColor32 Value, bool L) {
  // Bresenham, clipped per pixel: lines here are few and short.
  const int32_t dx = std::abs(X2 - X1), dy = -std::abs(Y2 - Y1);
  const int32_t sx = X1 < X2 ? 1 : -1, sy = Y1 < Y2 ? 1 : -1;
  int32_t err = dx + dy;
  int32_t x = X1, y = Y1;
  for (;;) {
    const bool atEnd = x == X2 && y == Y2;
    if (atEnd && !L) break;
    if (x >= 0 && y >= 0 && x < FWidth && y < FHeight) Pixel(x, y) = Value;
    if (atEnd) break;
    const int32_t e2 = 2 * err;
    if (e2 >= dy) {
      err += dy;
      x += sx;
    }
    if (e2 <= dx) {
      err += dx;
      y += sy;
    }
  }
}

TColor32 TBitmap32::PutPixel(TColor32 S, TColor32 D) const {
  switch (DrawMode) {
    case dmOpaque:
      return S;
    case dmTransparent:
      return S == OuterColor ? D : S;
    case dmCustom:
      if (OnPixelCombine) OnPixelCombine(S, D, MasterAlpha);
      else D = S;
      return D;
    case dmBlend:
      break;
  }
  if (MasterAlpha != 255) S = ApplyMasterAlpha(S, MasterAlpha);
  return CombineMode == cmMerge ? MergePixel(S, D) : BlendPixel(S, D);
}

void TBitmap32::Draw(int32_t DstX, int32_t DstY, const TRect& SrcRect, const TBitmap32& Src) {
  // Clip the source rectangle to Src, then the placed rectangle to this surface.
  int64_t left = std::max(SrcRect.Left, 0), top = std::max(SrcRect.Top, 0);
  int64_t right = std::min(SrcRect.Right, Src.Width()), bottom = std::min(SrcRect.Bottom, Src.Height());
  int64_t dstLeft = int64_t{DstX} + (left - SrcRect.Left), dstTop = int64_t{DstY} + (top - SrcRect.Top);
  if (dstLeft < 0) left -= dstLeft, dstLeft = 0;
  if (dstTop < 0) top -= dstTop, dstTop = 0;
  right = std::min(right, left + (FWidth - dstLeft));
  bottom = std::min(bottom, top + (FHeight - dstTop));
  if (right <= left || bottom <= top) return;
  const auto width = static_cast<int32_t>(right - left);
  for (int64_t y = top; y < bottom; ++y) {
    const TColor32* s = Src.GetScanLine(static_cast<int32_t>(y)) + left;
    TColor32* d = GetScanLine(static_cast<int32_t>(dstTop + y - top)) + dstLeft;
    if (Src.PutsOpaque()) {
      std::memmove(d, s, static_cast<size_t>(width) * sizeof(TColor32));
    } else if (Src.PutsPlainBlend()) {
      BlendRow(d, s, width);
    } else {
      for (int32_t x = 0; x < width; ++x) d[x] = Src.PutPixel(s[x], d[x]);
    }
  }
}

const TCustomResampler& TBitmap32::Resampler() const {
  static const TNearestResampler nearest;
  return FResampler ? *FResampler : nearest;
}

void DrawToRgb24(const TBitmap32& Src, uint8_t* Dst, int32_t DstWidth, int32_t DstHeight, ptrdiff_t DstStride,
                 int32_t DstX, int32_t DstY, TRgbOrder Order) {
  const int32_t x0 = std::max(0, -DstX), y0 = std::max(0, -DstY);
  const int32_t x1 = static_cast<int32_t>(std::min<int64_t>(Src.Width(), int64_t{DstWidth} - DstX));
  const int32_t y1 = static_cast<int32_t>(std::min<int64_t>(Src.Height(), int64_t{DstHeight} - DstY));
  const int first = Order == roRGB ? 16 : 0, last = Order == roRGB ? 0 : 16;
  for (int32_t y = y0; y < y1; ++y) {
    const TColor32* s = Src.GetScanLine(y);
    uint8_t* d = Dst + (y + DstY) * DstStride + ptrdiff_t{x0 + DstX} * 3;
    for (int32_t x = x0; x < x1; ++x, d += 3) {
      d[0] = static_cast<uint8_t>(s[x] >> first);
      d[1] = static_cast<uint8_t>(s[x] >> 8);
      d[2] = static_cast<uint8_t>(s[x] >> last);
    }
  }
}

std::vector<uint8_t> ToRgb24(const TBitmap32& Src, TRgbOrder Order) {
  std::vector<uint8_t> out(static_cast<size_t>(Src.Width()) * static_cast<size_t>(Src.Height()) * 3);
  DrawToRgb24(Src, out.data(), Src.Width(), Src.Height(), ptrdiff_t{Src.Width()} * 3, 0, 0, Order);
  return out;
}

}  // namespace varune
