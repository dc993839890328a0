#include "imaging/resampler.h"

namespace varune {

TColor32 TNearestResampler::GetSampleFixed(const TBitmap32& Src, int64_t X, int64_t Y) const {
  const int64_t x = (X + 0x8000) >> 16;
  const int64_t y = (Y + 0x8000) >> 16;
  if (x < 0 || y < 0 || x >= Src.Width() || y >= Src.Height()) return Src.OuterColor;
  return Src.Pixel(static_cast<int32_t>(x), static_cast<int32_t>(y));
}

TColor32 TDraftResampler::GetSampleFixed(const TBitmap32& Src, int64_t X, int64_t Y) const {
  const int64_t x8 = (X + 128) >> 8;
  const int64_t y8 = (Y + 128) >> 8;
  if (x8 < 0 || y8 < 0 || x8 > int64_t{Src.Width() - 1} * 256 || y8 > int64_t{Src.Height() - 1} * 256)
    return Src.OuterColor;
  const int32_t x = static_cast<int32_t>(x8 >> 8), y = static_cast<int32_t>(y8 >> 8);
  const uint32_t fx = static_cast<uint32_t>(x8 & 255), fy = static_cast<uint32_t>(y8 & 255);
  // A zero weight never reads past the last column or row.
  const int32_t x1 = fx ? x + 1 : x;
  const int32_t y1 = fy ? y + 1 : y;
  const TColor32 top = LerpPixel(Src.Pixel(x, y), Src.Pixel(x1, y), fx);
  const TColor32 bottom = LerpPixel(Src.Pixel(x, y1), Src.Pixel(x1, y1), fx);
  return LerpPixel(top, bottom, fy);
}

}  // namespace varune
