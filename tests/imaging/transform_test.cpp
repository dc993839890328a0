#include <gtest/gtest.h>

#include <memory>
#include <random>

#include "imaging/bitmap32.h"
#include "imaging/blend.h"
#include "imaging/resampler.h"
#include "imaging/transform.h"

namespace varune {
namespace {

TBitmap32 Numbered(int32_t w, int32_t h) {
  // Every pixel different and opaque: placements can be read back.
  TBitmap32 b(w, h);
  for (int32_t y = 0; y < h; ++y)
    for (int32_t x = 0; x < w; ++x) b.Pixel(x, y) = 0xFF000000u | static_cast<TColor32>(y << 8 | x);
  return b;
}

TBitmap32 Sprite(int32_t w, int32_t h, std::mt19937& rng) {
  TBitmap32 b(w, h);
  for (int32_t i = 0; i < w * h; ++i) {
    const uint32_t colour = rng() & 0xFFFFFF, kind = rng() % 4;
    b.Bits()[i] = colour | (kind == 0 ? 0 : kind == 1 ? 0xFF000000u : rng() << 24);
  }
  return b;
}

std::vector<TColor32> Pixels(const TBitmap32& b) { return {b.Bits(), b.Bits() + b.Width() * b.Height()}; }

TAffineTransformation Placed(const TBitmap32& src) {
  TAffineTransformation t;
  t.SrcRect = {0, 0, static_cast<double>(src.Width()), static_cast<double>(src.Height())};
  return t;
}

void UseDraft(TBitmap32& b) { b.SetResampler(std::make_shared<TDraftResampler>()); }

TEST(AffineTransformation, OperationsApplyInOrder) {
  TAffineTransformation t;
  t.Translate(10, 0);
  t.Scale(2, 3);
  TFloatPoint p = t.Transform({1, 1});
  EXPECT_DOUBLE_EQ(p.X, 22);
  EXPECT_DOUBLE_EQ(p.Y, 3);
  t.Clear();
  t.Rotate(5, 5, 90);  // counter-clockwise on a y-down screen: right of the centre goes up
  p = t.Transform({6, 5});
  EXPECT_NEAR(p.X, 5, 1e-12);
  EXPECT_NEAR(p.Y, 4, 1e-12);
  t.SrcRect = {0, 0, 4, 2};
  const TFloatRect r = t.GetTransformedBounds();
  EXPECT_NEAR(r.Left, 0, 1e-12);
  EXPECT_NEAR(r.Top, 6, 1e-12);
  EXPECT_NEAR(r.Right, 2, 1e-12);
  EXPECT_NEAR(r.Bottom, 10, 1e-12);
}

TEST(Transform, WholeTranslationCopiesPixelsExactly) {
  const TBitmap32 base = Numbered(5, 4);
  for (bool draft : {false, true}) {
    TBitmap32 src = base;
    if (draft) UseDraft(src);
    TAffineTransformation t = Placed(src);
    t.Translate(3, -1);
    TBitmap32 dst(10, 6);
    dst.Clear(0x11111111u);
    Transform(dst, src, t);
    for (int32_t y = 0; y < 6; ++y)
      for (int32_t x = 0; x < 10; ++x) {
        const bool inside = x >= 3 && x < 8 && y < 3;
        ASSERT_EQ(dst.Pixel(x, y), inside ? src.Pixel(x - 3, y + 1) : 0x11111111u) << draft << " " << x << "," << y;
      }
  }
}

TEST(Transform, MirrorPutsColumnXAtCMinusOneMinusX) {
  TBitmap32 src = Numbered(6, 3);
  UseDraft(src);
  TAffineTransformation t = Placed(src);
  t.Scale(-1, 1);
  t.Translate(8, 0);
  TBitmap32 dst(10, 3);
  Transform(dst, src, t);
  for (int32_t y = 0; y < 3; ++y)
    for (int32_t x = 0; x < 10; ++x)
      ASSERT_EQ(dst.Pixel(x, y), (x >= 2 && x < 8) ? src.Pixel(8 - 1 - x, y) : 0u) << x << "," << y;
}

TEST(Transform, QuarterTurnIsExact) {
  for (bool draft : {false, true}) {
    TBitmap32 src = Numbered(5, 3);
    if (draft) UseDraft(src);
    TAffineTransformation t = Placed(src);
    t.Rotate(0, 0, 90);
    t.Translate(0, 5);  // (x, y) lands on (y, 4 - x)
    TBitmap32 dst(3, 5);
    Transform(dst, src, t);
    for (int32_t y = 0; y < 5; ++y)
      for (int32_t x = 0; x < 3; ++x) ASSERT_EQ(dst.Pixel(x, y), src.Pixel(4 - y, x)) << draft << " " << x << "," << y;
  }
}

TEST(Transform, BlendsBySourceDrawMode) {
  TBitmap32 src(1, 1);
  src.Pixel(0, 0) = 0x80FF0000u;
  src.DrawMode = dmBlend;
  TAffineTransformation t = Placed(src);
  t.Translate(1, 1);
  TBitmap32 dst(3, 3);
  dst.Clear(0xFF0000FFu);
  Transform(dst, src, t);
  EXPECT_EQ(dst.Pixel(1, 1), 0xC0800080u);
  EXPECT_EQ(dst.Pixel(0, 0), 0xFF0000FFu);
}

TEST(Transform, HalfPixelShiftMixesNeighbours) {
  TBitmap32 src(2, 1);
  src.Pixel(0, 0) = 0xFF000000u;
  src.Pixel(1, 0) = 0xFF0000FFu;
  UseDraft(src);
  TAffineTransformation t = Placed(src);
  t.Translate(0.5, 0);
  TBitmap32 dst(3, 1);
  dst.Clear(0x55555555u);
  Transform(dst, src, t);
  // Centre 0.5 maps to u = -1/2, left of the first pixel: OuterColor, put opaquely.
  EXPECT_EQ(dst.Pixel(0, 0), 0u);
  // Centre 1.5 maps half way: (0 * 128 + 255 * 128 + 128) div 256 = 128 in blue.
  EXPECT_EQ(dst.Pixel(1, 0), 0xFF000080u);
  EXPECT_EQ(dst.Pixel(2, 0), 0x55555555u);  // beyond the box
}

TEST(DraftResampler, WholePositionsAndBorders) {
  std::mt19937 rng(3);
  TBitmap32 src = Sprite(4, 3, rng);
  src.OuterColor = 0x01020304u;
  const TDraftResampler draft;
  for (int32_t y = 0; y < 3; ++y)
    for (int32_t x = 0; x < 4; ++x) EXPECT_EQ(draft.GetSampleFixed(src, x * 65536, y * 65536), src.Pixel(x, y));
  // Anything that rounds to a whole position is that pixel.
  EXPECT_EQ(draft.GetSampleFixed(src, 65536 + 127, 2 * 65536 - 128), src.Pixel(1, 2));
  // The last column and row are inside only exactly.
  EXPECT_EQ(draft.GetSampleFixed(src, 3 * 65536, 65536), src.Pixel(3, 1));
  EXPECT_EQ(draft.GetSampleFixed(src, 3 * 65536 + 128, 65536), src.OuterColor);
  EXPECT_EQ(draft.GetSampleFixed(src, 65536, 2 * 65536 + 128), src.OuterColor);
  EXPECT_EQ(draft.GetSampleFixed(src, -129, 0), src.OuterColor);
  EXPECT_EQ(draft.GetSampleFixed(src, 0, -129), src.OuterColor);
  EXPECT_EQ(draft.GetSampleFixed(src, -128, 0), src.Pixel(0, 0));
  // Along the last column the mix uses only that column.
  EXPECT_EQ(draft.GetSampleFixed(src, 3 * 65536, 65536 + 32768), LerpPixel(src.Pixel(3, 1), src.Pixel(3, 2), 128));
  EXPECT_EQ(draft.GetSampleFixed(src, 32768, 65536),
            LerpPixel(src.Pixel(0, 1), src.Pixel(1, 1), 128));
}

TEST(NearestResampler, RoundsToTheNearestCentre) {
  TBitmap32 src = Numbered(3, 2);
  src.OuterColor = 9;
  const TNearestResampler nearest;
  EXPECT_EQ(nearest.GetSampleFixed(src, 32767, 0), src.Pixel(0, 0));
  EXPECT_EQ(nearest.GetSampleFixed(src, 32768, 0), src.Pixel(1, 0));
  EXPECT_EQ(nearest.GetSampleFixed(src, -32768, 0), src.Pixel(0, 0));
  EXPECT_EQ(nearest.GetSampleFixed(src, -32769, 0), 9u);
  EXPECT_EQ(nearest.GetSampleFixed(src, 2 * 65536 + 32768, 0), 9u);
}

// The fast paths (axis-aligned runs, stepped SIMD rows) against the plain
// per-pixel path, over placements that hit and miss every edge of both
// surfaces, with whole and fractional offsets, mirrors and turns.
TEST(Transform, FastPathsEqualThePlainPath) {
  std::mt19937 rng(21);
  std::uniform_real_distribution<double> offset(-30, 60);
  const double fractions[] = {0, 0.25, 0.5, 1.0 / 3, 0.999};
  int cases = 0;
  for (int round = 0; round < 600; ++round) {
    TBitmap32 src = Sprite(1 + rng() % 40, 1 + rng() % 40, rng);
    src.DrawMode = (round % 5 == 0) ? dmOpaque : (round % 7 == 0) ? dmTransparent : dmBlend;
    if (round % 2) UseDraft(src);
    if (round % 3 == 0) src.OuterColor = 0x80FF00FFu;
    if (round % 11 == 0) src.MasterAlpha = 100;
    TAffineTransformation t = Placed(src);
    switch (round % 4) {
      case 0: break;
      case 1: t.Scale(-1, 1); break;
      case 2: t.Scale(1, -1); break;
      case 3: t.Rotate(src.Width() / 2.0, src.Height() / 2.0, static_cast<double>(rng() % 360) + (rng() % 2) * 0.37);
    }
    if (round % 8 == 6) t.Scale(0.5 + (rng() % 100) / 40.0, 0.5 + (rng() % 100) / 40.0);
    const double fx = fractions[rng() % 5], fy = fractions[rng() % 5];
    t.Translate(std::floor(offset(rng)) + fx, std::floor(offset(rng)) + fy);
    TBitmap32 fast(50, 45), plain;
    for (int32_t i = 0; i < 50 * 45; ++i) fast.Bits()[i] = 0xFF000000u | rng();
    plain = fast;
    Transform(fast, src, t);
    TransformReference(plain, src, t);
    ASSERT_EQ(Pixels(fast), Pixels(plain)) << "round " << round;
    ++cases;
  }
  EXPECT_EQ(cases, 600);
}

TEST(Transform, SingularOrEmptyDrawsNothing) {
  TBitmap32 src = Numbered(4, 4);
  TAffineTransformation t = Placed(src);
  t.Scale(0, 1);
  TBitmap32 dst(8, 8);
  Transform(dst, src, t);
  TBitmap32 empty;
  t.Clear();
  Transform(dst, empty, t);
  EXPECT_EQ(Pixels(dst), std::vector<TColor32>(64, 0));
}

}  // namespace
}  // namespace varune
