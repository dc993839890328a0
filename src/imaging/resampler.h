#pragma once
// Samplers that Transform reads a source surface through. Positions are in
// 16.16 fixed point with pixel centres on whole numbers; outside the surface a
// sampler sees the surface's OuterColor.

#include <cstdint>

#include "imaging/bitmap32.h"

namespace varune {

enum TResamplerKind { rkNearest, rkDraft };

class TCustomResampler {
 public:
  virtual ~TCustomResampler() = default;
  // Transform runs its own inlined loops per kind; GetSampleFixed is the plain
  // per-position statement those loops are checked against.
  virtual TResamplerKind Kind() const = 0;
  virtual TColor32 GetSampleFixed(const TBitmap32& Src, int64_t X, int64_t Y) const = 0;
};

// The pixel whose centre is nearest, halves rounded up.
class TNearestResampler final : public TCustomResampler {
 public:
  TResamplerKind Kind() const override { return rkNearest; }
  TColor32 GetSampleFixed(const TBitmap32& Src, int64_t X, int64_t Y) const override;
};

// Bilinear: the position rounded to 1/256 pixel, then the four pixels around
// it mixed with 8-bit weights, first along x on both rows, then along y, each
// step (a (256 - f) + b f + 128) div 256 per channel. A whole position gives
// its pixel exactly. Left of or above the first pixel, or right of or below
// the last one, the sample is OuterColor as a whole.
class TDraftResampler final : public TCustomResampler {
 public:
  TResamplerKind Kind() const override { return rkDraft; }
  TColor32 GetSampleFixed(const TBitmap32& Src, int64_t X, int64_t Y) const override;
};

// One step of the bilinear mix on all four channels.
constexpr TColor32 LerpPixel(TColor32 A, TColor32 B, uint32_t F) {
  TColor32 result = 0;
  for (int shift = 0; shift < 32; shift += 8) {
    const uint32_t a = (A >> shift) & 0xFF;
    const uint32_t b = (B >> shift) & 0xFF;
    result |= ((a * (256 - F) + b * F + 128) >> 8) << shift;
  }
  return result;
}

}  // namespace varune
