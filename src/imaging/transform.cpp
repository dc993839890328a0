#include "imaging/transform.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "imaging/blend.h"
#include "imaging/resampler.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace varune {

void TAffineTransformation::Clear() { FMatrix = {{{1, 0, 0}, {0, 1, 0}, {0, 0, 1}}}; }

void TAffineTransformation::Append(const TMatrix& M) {
  TMatrix r{};
  for (int i = 0; i < 3; ++i)
    for (int j = 0; j < 3; ++j) r[i][j] = M[i][0] * FMatrix[0][j] + M[i][1] * FMatrix[1][j] + M[i][2] * FMatrix[2][j];
  FMatrix = r;
}

void TAffineTransformation::Translate(double Dx, double Dy) { Append({{{1, 0, Dx}, {0, 1, Dy}, {0, 0, 1}}}); }

void TAffineTransformation::Scale(double Sx, double Sy) { Append({{{Sx, 0, 0}, {0, Sy, 0}, {0, 0, 1}}}); }

void TAffineTransformation::Rotate(double Cx, double Cy, double Alpha) {
  const double radians = Alpha * std::numbers::pi / 180.0;
  const double c = std::cos(radians), s = std::sin(radians);
  Translate(-Cx, -Cy);
  Append({{{c, s, 0}, {-s, c, 0}, {0, 0, 1}}});
  Translate(Cx, Cy);
}

TFloatPoint TAffineTransformation::Transform(TFloatPoint P) const {
  return {FMatrix[0][0] * P.X + FMatrix[0][1] * P.Y + FMatrix[0][2],
          FMatrix[1][0] * P.X + FMatrix[1][1] * P.Y + FMatrix[1][2]};
}

TFloatRect TAffineTransformation::GetTransformedBounds() const {
  const TFloatPoint corners[4] = {Transform({SrcRect.Left, SrcRect.Top}), Transform({SrcRect.Right, SrcRect.Top}),
                                  Transform({SrcRect.Left, SrcRect.Bottom}),
                                  Transform({SrcRect.Right, SrcRect.Bottom})};
  TFloatRect r{corners[0].X, corners[0].Y, corners[0].X, corners[0].Y};
  for (const TFloatPoint& p : corners) {
    r.Left = std::min(r.Left, p.X);
    r.Top = std::min(r.Top, p.Y);
    r.Right = std::max(r.Right, p.X);
    r.Bottom = std::max(r.Bottom, p.Y);
  }
  return r;
}

namespace {

constexpr int64_t kFixedOne = 65536;
constexpr int64_t kFixedHalf = 32767;  // the half of pixel centres, as the fixed-point code has always used

// The inverse transformation in 16.16: a destination pixel (x, y) samples
//   u = (Uxx Xc + Uxy Yc + Ux 65536) div 65536 - half, Xc = 65536 x + half,
// likewise v. Because 65536 x is a whole multiple, u steps by exactly Uxx per
// column, so stepping along a row gives the same integers as this formula.
struct TFixedMap {
  int64_t Uxx, Uxy, Ux, Vxx, Vxy, Vx;

  int64_t RowU(int32_t y) const { return (Uxx * kFixedHalf + Uxy * (y * kFixedOne + kFixedHalf) + Ux * kFixedOne) >> 16; }
  int64_t RowV(int32_t y) const { return (Vxx * kFixedHalf + Vxy * (y * kFixedOne + kFixedHalf) + Vx * kFixedOne) >> 16; }
  // Sample positions of pixel (x, y), pixel centres on whole numbers.
  int64_t U(int32_t x, int32_t y) const { return Uxx * x + RowU(y) - kFixedHalf; }
  int64_t V(int32_t x, int32_t y) const { return Vxx * x + RowV(y) - kFixedHalf; }
};

struct TPlan {
  TFixedMap Map;
  TRect Area;  // in Dst, clipped
};

// Clamped so that the 64-bit sums above cannot overflow; transformations that
// reach the limits shrink a surface below a pixel anyway.
int64_t ToFixed(double v, double limit) {
  return static_cast<int64_t>(std::llround(std::clamp(v * kFixedOne, -limit, limit)));
}

int32_t CentreBound(double edge, int32_t limit) {
  // First pixel whose centre is at or right of edge, clamped to 0..limit.
  const double first = std::ceil(edge - 0.5);
  if (!(first > 0)) return 0;
  return first >= limit ? limit : static_cast<int32_t>(first);
}

bool MakePlan(const TBitmap32& Dst, const TAffineTransformation& T, TPlan& plan) {
  const auto& m = T.Matrix();
  const double det = m[0][0] * m[1][1] - m[0][1] * m[1][0];
  if (!std::isfinite(det) || std::abs(det) < 1e-12) return false;
  const double ia = m[1][1] / det, ib = -m[0][1] / det, id = -m[1][0] / det, ie = m[0][0] / det;
  const double ic = -(ia * m[0][2] + ib * m[1][2]), iff = -(id * m[0][2] + ie * m[1][2]);
  constexpr double coefficientLimit = 0x1p29, offsetLimit = 0x1p45;
  plan.Map = {ToFixed(ia, coefficientLimit), ToFixed(ib, coefficientLimit), ToFixed(ic, offsetLimit),
              ToFixed(id, coefficientLimit), ToFixed(ie, coefficientLimit), ToFixed(iff, offsetLimit)};
  const TFloatRect box = T.GetTransformedBounds();
  plan.Area = {CentreBound(box.Left, Dst.Width()), CentreBound(box.Top, Dst.Height()),
               CentreBound(box.Right, Dst.Width()), CentreBound(box.Bottom, Dst.Height())};
  return !plan.Area.Empty();
}

// --- put a run of outside samples ------------------------------------------

void PutOuter(TColor32* d, int32_t count, const TBitmap32& Src) {
  if (count <= 0) return;
  if (Src.PutsPlainBlend() && (Src.OuterColor >> 24) == 0) return;
  for (int32_t i = 0; i < count; ++i) d[i] = Src.PutPixel(Src.OuterColor, d[i]);
}

// --- axis-aligned unit scale: translations and mirrors -----------------------

// Every row samples one source row at whole positions, stepping +-1 per
// column: the row becomes a copy or a blend of a (possibly reversed) run.
bool TryAxisAligned(TBitmap32& Dst, const TBitmap32& Src, const TPlan& plan) {
  const TFixedMap& m = plan.Map;
  if (m.Uxy != 0 || m.Vxx != 0 || (m.Uxx != kFixedOne && m.Uxx != -kFixedOne) ||
      (m.Vxy != kFixedOne && m.Vxy != -kFixedOne))
    return false;
  const TRect& a = plan.Area;
  const bool draft = Src.Resampler().Kind() == rkDraft;
  if (Src.Resampler().Kind() != rkNearest && !draft) return false;
  // Whole source pixel of a position, or false when the draft sampler would
  // have to mix. The fraction is the same for every pixel of the area.
  auto whole = [draft](int64_t pos, int64_t& pixel) {
    if (!draft) {
      pixel = (pos + 0x8000) >> 16;
      return true;
    }
    const int64_t pos8 = (pos + 128) >> 8;
    pixel = pos8 >> 8;
    return (pos8 & 255) == 0;
  };
  int64_t sx0, sy0;
  if (!whole(m.U(a.Left, a.Top), sx0) || !whole(m.V(a.Left, a.Top), sy0)) return false;
  const int64_t step = m.Uxx > 0 ? 1 : -1, rowStep = m.Vxy > 0 ? 1 : -1;
  const int32_t width = a.Width();
  // Columns [inLeft, inRight) of the area read inside the source.
  int64_t inLeft, inRight;
  if (step > 0) {
    inLeft = std::clamp<int64_t>(-sx0, 0, width);
    inRight = std::clamp<int64_t>(Src.Width() - sx0, inLeft, width);
  } else {
    inLeft = std::clamp<int64_t>(sx0 - (Src.Width() - 1), 0, width);
    inRight = std::clamp<int64_t>(sx0 + 1, inLeft, width);
  }
  const auto n = static_cast<int32_t>(inRight - inLeft);
  for (int32_t y = a.Top; y < a.Bottom; ++y) {
    TColor32* d = Dst.GetScanLine(y) + a.Left;
    const int64_t sy = sy0 + rowStep * (y - a.Top);
    if (sy < 0 || sy >= Src.Height() || n == 0) {
      PutOuter(d, width, Src);
      continue;
    }
    PutOuter(d, static_cast<int32_t>(inLeft), Src);
    PutOuter(d + inRight, static_cast<int32_t>(width - inRight), Src);
    const TColor32* s = Src.GetScanLine(static_cast<int32_t>(sy)) + (sx0 + step * inLeft);
    TColor32* run = d + inLeft;
    if (step > 0) {
      if (Src.PutsOpaque()) std::copy_n(s, n, run);
      else if (Src.PutsPlainBlend()) BlendRow(run, s, n);
      else for (int32_t i = 0; i < n; ++i) run[i] = Src.PutPixel(s[i], run[i]);
    } else {
      if (Src.PutsOpaque()) CopyRowReversed(run, s, n);
      else if (Src.PutsPlainBlend()) BlendRowReversed(run, s, n);
      else for (int32_t i = 0; i < n; ++i) run[i] = Src.PutPixel(s[-i], run[i]);
    }
  }
  return true;
}

// --- general mapping -----------------------------------------------------------

#if defined(__SSE2__)
// The draft sample as four 16-bit lanes: x mix on both rows at once, then y.
inline __m128i Bilinear16(TColor32 p00, TColor32 p10, TColor32 p01, TColor32 p11, uint32_t fx, uint32_t fy) {
  const __m128i zero = _mm_setzero_si128();
  const __m128i half = _mm_set1_epi16(128);
  const __m128i a = _mm_unpacklo_epi8(
      _mm_unpacklo_epi32(_mm_cvtsi32_si128(static_cast<int>(p00)), _mm_cvtsi32_si128(static_cast<int>(p01))), zero);
  const __m128i b = _mm_unpacklo_epi8(
      _mm_unpacklo_epi32(_mm_cvtsi32_si128(static_cast<int>(p10)), _mm_cvtsi32_si128(static_cast<int>(p11))), zero);
  const __m128i rows = _mm_srli_epi16(
      _mm_add_epi16(_mm_add_epi16(_mm_slli_epi16(a, 8), half),
                    _mm_mullo_epi16(_mm_sub_epi16(b, a), _mm_set1_epi16(static_cast<int16_t>(fx)))),
      8);
  const __m128i bottom = _mm_srli_si128(rows, 8);
  return _mm_srli_epi16(_mm_add_epi16(_mm_add_epi16(_mm_slli_epi16(rows, 8), half),
                                      _mm_mullo_epi16(_mm_sub_epi16(bottom, rows),
                                                      _mm_set1_epi16(static_cast<int16_t>(fy)))),
                        8);
}

// The blend rule on one pixel in 16-bit lanes (alpha 255 weighted as 256).
inline TColor32 Blend16(__m128i s, TColor32 dst) {
  const __m128i d = _mm_unpacklo_epi8(_mm_cvtsi32_si128(static_cast<int>(dst)), _mm_setzero_si128());
  const __m128i alpha = _mm_shufflelo_epi16(s, 0xFF);
  const __m128i weight = _mm_sub_epi16(alpha, _mm_cmpeq_epi16(alpha, _mm_set1_epi16(255)));
  const __m128i sum = _mm_add_epi16(_mm_add_epi16(_mm_slli_epi16(d, 8), _mm_set1_epi16(128)),
                                    _mm_mullo_epi16(_mm_sub_epi16(s, d), weight));
  return static_cast<TColor32>(_mm_cvtsi128_si32(_mm_packus_epi16(_mm_srli_epi16(sum, 8), sum)));
}

inline TColor32 Pack16(__m128i s) {
  return static_cast<TColor32>(_mm_cvtsi128_si32(_mm_packus_epi16(s, s)));
}
#endif

enum class TPut { Opaque, Blend, Other };

template <TPut put>
void DraftRows(TBitmap32& Dst, const TBitmap32& Src, const TPlan& plan) {
  const TFixedMap& m = plan.Map;
  const TRect& a = plan.Area;
  const int32_t srcWidth = Src.Width();
  const uint64_t maxU8 = static_cast<uint64_t>(Src.Width() - 1) * 256;
  const uint64_t maxV8 = static_cast<uint64_t>(Src.Height() - 1) * 256;
  const TColor32* bits = Src.Bits();
  for (int32_t y = a.Top; y < a.Bottom; ++y) {
    TColor32* d = Dst.GetScanLine(y);
    // Positions kept pre-rounded: (pos + 128) div 256 is the 1/256 position.
    int64_t u = m.U(a.Left, y) + 128, v = m.V(a.Left, y) + 128;
    for (int32_t x = a.Left; x < a.Right; ++x, u += m.Uxx, v += m.Vxx) {
      const int64_t u8 = u >> 8, v8 = v >> 8;
      if (static_cast<uint64_t>(u8) > maxU8 || static_cast<uint64_t>(v8) > maxV8) {
        if constexpr (put == TPut::Blend) {
          if ((Src.OuterColor >> 24) != 0) d[x] = BlendPixel(Src.OuterColor, d[x]);
        } else {
          d[x] = Src.PutPixel(Src.OuterColor, d[x]);
        }
        continue;
      }
      const uint32_t fx = static_cast<uint32_t>(u8 & 255), fy = static_cast<uint32_t>(v8 & 255);
      const TColor32* p = bits + (v8 >> 8) * srcWidth + (u8 >> 8);
      // A zero weight never reads past the last column or row.
      const int32_t right = fx ? 1 : 0;
      const int32_t below = fy ? srcWidth : 0;
      const TColor32 p00 = p[0], p10 = p[right], p01 = p[below], p11 = p[below + right];
      if constexpr (put == TPut::Blend) {
        if (((p00 | p10 | p01 | p11) >> 24) == 0) continue;  // mixes to alpha 0: leaves d
      }
#if defined(__SSE2__)
      const __m128i s = Bilinear16(p00, p10, p01, p11, fx, fy);
      if constexpr (put == TPut::Blend) d[x] = Blend16(s, d[x]);
      else if constexpr (put == TPut::Opaque) d[x] = Pack16(s);
      else d[x] = Src.PutPixel(Pack16(s), d[x]);
#else
      const TColor32 s = LerpPixel(LerpPixel(p00, p10, fx), LerpPixel(p01, p11, fx), fy);
      if constexpr (put == TPut::Blend) d[x] = BlendPixel(s, d[x]);
      else if constexpr (put == TPut::Opaque) d[x] = s;
      else d[x] = Src.PutPixel(s, d[x]);
#endif
    }
  }
}

void NearestRows(TBitmap32& Dst, const TBitmap32& Src, const TPlan& plan) {
  const TFixedMap& m = plan.Map;
  const TRect& a = plan.Area;
  const bool blend = Src.PutsPlainBlend();
  for (int32_t y = a.Top; y < a.Bottom; ++y) {
    TColor32* d = Dst.GetScanLine(y);
    int64_t u = m.U(a.Left, y) + 0x8000, v = m.V(a.Left, y) + 0x8000;
    for (int32_t x = a.Left; x < a.Right; ++x, u += m.Uxx, v += m.Vxx) {
      const int64_t sx = u >> 16, sy = v >> 16;
      const bool inside = sx >= 0 && sy >= 0 && sx < Src.Width() && sy < Src.Height();
      const TColor32 s = inside ? Src.Pixel(static_cast<int32_t>(sx), static_cast<int32_t>(sy)) : Src.OuterColor;
      d[x] = blend ? BlendPixel(s, d[x]) : Src.PutPixel(s, d[x]);
    }
  }
}

}  // namespace

void Transform(TBitmap32& Dst, const TBitmap32& Src, const TAffineTransformation& T) {
  TPlan plan;
  if (Src.Empty() || !MakePlan(Dst, T, plan)) return;
  if (TryAxisAligned(Dst, Src, plan)) return;
  switch (Src.Resampler().Kind()) {
    case rkNearest:
      NearestRows(Dst, Src, plan);
      return;
    case rkDraft:
      if (Src.PutsPlainBlend()) DraftRows<TPut::Blend>(Dst, Src, plan);
      else if (Src.PutsOpaque()) DraftRows<TPut::Opaque>(Dst, Src, plan);
      else DraftRows<TPut::Other>(Dst, Src, plan);
      return;
  }
}

void TransformReference(TBitmap32& Dst, const TBitmap32& Src, const TAffineTransformation& T) {
  TPlan plan;
  if (Src.Empty() || !MakePlan(Dst, T, plan)) return;
  const TFixedMap& m = plan.Map;
  const TCustomResampler& sampler = Src.Resampler();
  for (int32_t y = plan.Area.Top; y < plan.Area.Bottom; ++y)
    for (int32_t x = plan.Area.Left; x < plan.Area.Right; ++x) {
      const int64_t xc = x * kFixedOne + kFixedHalf, yc = y * kFixedOne + kFixedHalf;
      const int64_t u = ((m.Uxx * xc + m.Uxy * yc + m.Ux * kFixedOne) >> 16) - kFixedHalf;
      const int64_t v = ((m.Vxx * xc + m.Vxy * yc + m.Vx * kFixedOne) >> 16) - kFixedHalf;
      Dst.Pixel(x, y) = Src.PutPixel(sampler.GetSampleFixed(Src, u, v), Dst.Pixel(x, y));
    }
}

}  // namespace varune
