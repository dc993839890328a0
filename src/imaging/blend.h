#pragma once
// The blend rule every alpha drawing uses, per channel including alpha:
//   s.a = 0   -> d unchanged
//   s.a = 255 -> d := s
//   otherwise -> c := (256 d + 128 + (s - d) s.a) div 256
// BlendPixel is the plain statement of it; the row functions are the fast
// versions and must give the same integers (the tests compare them).

#include <cstdint>

#include "imaging/bitmap32.h"

namespace varune {

constexpr TColor32 BlendPixel(TColor32 S, TColor32 D) {
  const uint32_t a = S >> 24;
  if (a == 0) return D;
  if (a == 255) return S;
  TColor32 result = 0;
  for (int shift = 0; shift < 32; shift += 8) {
    const int32_t s = static_cast<int32_t>((S >> shift) & 0xFF);
    const int32_t d = static_cast<int32_t>((D >> shift) & 0xFF);
    result |= static_cast<TColor32>((256 * d + 128 + (s - d) * static_cast<int32_t>(a)) >> 8) << shift;
  }
  return result;
}

// Dst[i] := BlendPixel(Src[i], Dst[i]) for i < Count.
void BlendRow(TColor32* Dst, const TColor32* Src, int32_t Count);
// Dst[i] := BlendPixel(Src[-i], Dst[i]): the source row read right to left,
// starting at Src (used by mirrored drawing).
void BlendRowReversed(TColor32* Dst, const TColor32* Src, int32_t Count);
// Dst[i] := Src[-i].
void CopyRowReversed(TColor32* Dst, const TColor32* Src, int32_t Count);

// Scales the source alpha by a surface's MasterAlpha before blending.
constexpr TColor32 ApplyMasterAlpha(TColor32 S, uint8_t MasterAlpha) {
  const uint32_t a = ((S >> 24) * MasterAlpha + 127) / 255;
  return (S & 0x00FFFFFF) | (a << 24);
}

// cmMerge: source over a destination that may itself be translucent, on
// straight (not premultiplied) colours, rounded to nearest.
TColor32 MergePixel(TColor32 S, TColor32 D);

}  // namespace varune
