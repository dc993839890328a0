#include "imaging/blend.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace varune {

#if defined(__SSE2__)
namespace {

// Four pixels by the rule. Alpha 255 is weighted as 256, which makes the
// formula itself return s, and alpha 0 returns d: no per-pixel branch. The
// true value of 256 d + 128 + (s - d) w lies in 0..65535, so 16-bit lanes
// that wrap during the sum still end on the right bits.
inline __m128i Blend4(__m128i s, __m128i d) {
  const __m128i zero = _mm_setzero_si128();
  __m128i alpha = _mm_srli_epi32(s, 24);
  const __m128i weight32 = _mm_sub_epi32(alpha, _mm_cmpeq_epi32(alpha, _mm_set1_epi32(255)));
  const __m128i weight16 = _mm_or_si128(weight32, _mm_slli_epi32(weight32, 16));
  const __m128i weightLo = _mm_unpacklo_epi32(weight16, weight16);
  const __m128i weightHi = _mm_unpackhi_epi32(weight16, weight16);
  const __m128i half = _mm_set1_epi16(128);
  const __m128i sLo = _mm_unpacklo_epi8(s, zero), dLo = _mm_unpacklo_epi8(d, zero);
  const __m128i sHi = _mm_unpackhi_epi8(s, zero), dHi = _mm_unpackhi_epi8(d, zero);
  __m128i lo = _mm_add_epi16(_mm_add_epi16(_mm_slli_epi16(dLo, 8), half), _mm_mullo_epi16(_mm_sub_epi16(sLo, dLo), weightLo));
  __m128i hi = _mm_add_epi16(_mm_add_epi16(_mm_slli_epi16(dHi, 8), half), _mm_mullo_epi16(_mm_sub_epi16(sHi, dHi), weightHi));
  return _mm_packus_epi16(_mm_srli_epi16(lo, 8), _mm_srli_epi16(hi, 8));
}

// Sprites are mostly fully transparent or fully opaque: skip or copy whole
// groups of four before doing arithmetic.
inline void BlendGroup(TColor32* dst, __m128i s) {
  const __m128i alpha = _mm_srli_epi32(s, 24);
  const int transparent = _mm_movemask_epi8(_mm_cmpeq_epi32(alpha, _mm_setzero_si128()));
  if (transparent == 0xFFFF) return;
  const int opaque = _mm_movemask_epi8(_mm_cmpeq_epi32(alpha, _mm_set1_epi32(255)));
  if (opaque == 0xFFFF) {
    _mm_storeu_si128(reinterpret_cast<__m128i*>(dst), s);
    return;
  }
  const __m128i d = _mm_loadu_si128(reinterpret_cast<const __m128i*>(dst));
  _mm_storeu_si128(reinterpret_cast<__m128i*>(dst), Blend4(s, d));
}

}  // namespace
#endif

void BlendRow(TColor32* Dst, const TColor32* Src, int32_t Count) {
  int32_t i = 0;
#if defined(__SSE2__)
  for (; i + 4 <= Count; i += 4) BlendGroup(Dst + i, _mm_loadu_si128(reinterpret_cast<const __m128i*>(Src + i)));
#endif
  for (; i < Count; ++i) Dst[i] = BlendPixel(Src[i], Dst[i]);
}

void BlendRowReversed(TColor32* Dst, const TColor32* Src, int32_t Count) {
  int32_t i = 0;
#if defined(__SSE2__)
  for (; i + 4 <= Count; i += 4) {
    const __m128i s = _mm_loadu_si128(reinterpret_cast<const __m128i*>(Src - i - 3));
    BlendGroup(Dst + i, _mm_shuffle_epi32(s, 0x1B));
  }
#endif
  for (; i < Count; ++i) Dst[i] = BlendPixel(Src[-i], Dst[i]);
}

void CopyRowReversed(TColor32* Dst, const TColor32* Src, int32_t Count) {
  int32_t i = 0;
#if defined(__SSE2__)
  for (; i + 4 <= Count; i += 4) {
    const __m128i s = _mm_loadu_si128(reinterpret_cast<const __m128i*>(Src - i - 3));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(Dst + i), _mm_shuffle_epi32(s, 0x1B));
  }
#endif
  for (; i < Count; ++i) Dst[i] = Src[-i];
}

TColor32 MergePixel(TColor32 S, TColor32 D) {
  const uint32_t fa = S >> 24;
  const uint32_t ba = D >> 24;
  if (fa == 255 || ba == 0) return S;
  if (fa == 0) return D;
  // Coverage of the result, then each colour as the coverage-weighted mean.
  const uint32_t backWeight = ba * (255 - fa);  // scaled by 255
  const uint32_t frontWeight = fa * 255;
  const uint32_t total = frontWeight + backWeight;  // = 255 * result alpha
  TColor32 result = ((total + 127) / 255) << 24;
  for (int shift = 0; shift < 24; shift += 8) {
    const uint32_t s = (S >> shift) & 0xFF;
    const uint32_t d = (D >> shift) & 0xFF;
    result |= ((s * frontWeight + d * backWeight + total / 2) / total) << shift;
  }
  return result;
}

}  // namespace varune
