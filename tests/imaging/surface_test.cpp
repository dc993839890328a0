#include <gtest/gtest.h>

#include <random>

#include "imaging/bitmap32.h"
#include "imaging/blend.h"

namespace varune {
namespace {

// Alpha drawn mostly from the cases with their own handling (0, 255), the
// rest anywhere, so that groups of four mix all cases.
TColor32 RandomPixel(std::mt19937& rng) {
  const uint32_t colour = rng() & 0x00FFFFFF;
  switch (rng() % 4) {
    case 0: return colour;
    case 1: return colour | 0xFF000000u;
    default: return colour | (rng() << 24);
  }
}

void FillRandom(TBitmap32& b, std::mt19937& rng) {
  for (int32_t i = 0; i < b.Width() * b.Height(); ++i) b.Bits()[i] = RandomPixel(rng);
}

TEST(Blend, RuleExamples) {
  EXPECT_EQ(BlendPixel(0x80FF0000u, 0xFF0000FFu), 0xC0800080u);
  EXPECT_EQ(BlendPixel(0x00FFFFFFu, 0x12345678u), 0x12345678u);  // colour of an invisible pixel is ignored
  EXPECT_EQ(BlendPixel(0xFF102030u, 0x80405060u), 0xFF102030u);
  EXPECT_EQ(AlphaComponent(BlendPixel(0x80000000u, 0xFF000000u)), 192);
  // On transparent black every channel becomes about s * a / 256.
  EXPECT_EQ(BlendPixel(0x40FF8000u, 0), 0x10402000u);
}

TEST(Blend, RowsEqualTheRuleOverRandomPairs) {
  std::mt19937 rng(7);
  for (int round = 0; round < 2000; ++round) {
    const int32_t count = static_cast<int32_t>(rng() % 23);
    std::vector<TColor32> src(count + 3), dst(count), fwd, rev, copy(count);
    for (auto& p : src) p = RandomPixel(rng);
    for (auto& p : dst) p = RandomPixel(rng);
    fwd = rev = dst;
    BlendRow(fwd.data(), src.data(), count);
    if (count > 0) {
      BlendRowReversed(rev.data(), src.data() + count - 1, count);
      CopyRowReversed(copy.data(), src.data() + count - 1, count);
    }
    for (int32_t i = 0; i < count; ++i) {
      ASSERT_EQ(fwd[i], BlendPixel(src[i], dst[i])) << std::hex << src[i] << " over " << dst[i];
      ASSERT_EQ(rev[i], BlendPixel(src[count - 1 - i], dst[i]));
      ASSERT_EQ(copy[i], src[count - 1 - i]);
    }
  }
}

TEST(Blend, EveryAlphaAndChannelPairMatchesTheFormula) {
  // The row code against the formula written out, over all alphas and a
  // spread of channel pairs, including the extremes of the numerator.
  for (uint32_t a = 1; a < 255; ++a)
    for (uint32_t s = 0; s < 256; s += 15)
      for (uint32_t d = 0; d < 256; d += 17) {
        const TColor32 src = (a << 24) | (s << 16) | (d << 8) | s, dst = (d << 24) | (d << 16) | (s << 8) | d;
        TColor32 out = dst;
        BlendRow(&out, &src, 1);
        TColor32 group[4] = {dst, dst, dst, dst};
        const TColor32 srcs[4] = {src, src, src, src};
        BlendRow(group, srcs, 4);
        const auto channel = [a](uint32_t sc, uint32_t dc) { return (256 * dc + 128 + (sc - dc) * a) / 256; };
        const TColor32 expected = (channel(a, d) << 24) | (channel(s, d) << 16) | (channel(d, s) << 8) | channel(s, d);
        ASSERT_EQ(out, expected);
        ASSERT_EQ(group[3], expected);
      }
}

TEST(Surface, SizeChangesClear) {
  TBitmap32 b;
  EXPECT_EQ(b.Width(), 0);
  EXPECT_TRUE(b.Empty());
  b.SetSize(3, 2);
  b.Clear(0xFF00FF00u);
  b.SetSize(3, 2);
  for (int32_t i = 0; i < 6; ++i) EXPECT_EQ(b.Bits()[i], 0u);
  b.Clear(0x11223344u);
  b.SetWidth(4);
  EXPECT_EQ(b.Width(), 4);
  EXPECT_EQ(b.Height(), 2);
  for (int32_t i = 0; i < 8; ++i) EXPECT_EQ(b.Bits()[i], 0u);
}

TEST(Surface, ClearAndResetAlpha) {
  TBitmap32 b(2, 2);
  b.Clear(0x00123456u);
  b.Pixel(1, 1) = 0x80ABCDEFu;
  b.ResetAlpha();
  EXPECT_EQ(b.Pixel(0, 0), 0xFF123456u);
  EXPECT_EQ(b.Pixel(1, 1), 0xFFABCDEFu);
}

TEST(Surface, FrameRectSSetsExactlyTheBorder) {
  TBitmap32 b(7, 5);
  b.FrameRectS(0, 0, 7, 5, 0xFF0000FFu);
  for (int32_t y = 0; y < 5; ++y)
    for (int32_t x = 0; x < 7; ++x) {
      const bool border = x == 0 || y == 0 || x == 6 || y == 4;
      EXPECT_EQ(b.Pixel(x, y), border ? 0xFF0000FFu : 0u) << x << "," << y;
    }
  b.Clear();
  b.FrameRectS(-2, 1, 3, 9, 1);  // only the right column and the top row remain inside
  EXPECT_EQ(b.Pixel(2, 3), 1u);
  EXPECT_EQ(b.Pixel(0, 1), 1u);
  EXPECT_EQ(b.Pixel(1, 2), 0u);
  EXPECT_EQ(b.Pixel(0, 4), 0u);
}

TEST(Surface, VerticalLineStopsBeforeItsEnd) {
  TBitmap32 b(160, 20);
  b.Line(153, 2, 153, 18, 7, false);
  for (int32_t y = 0; y < 20; ++y) EXPECT_EQ(b.Pixel(153, y), (y >= 2 && y <= 17) ? 7u : 0u) << y;
  b.Line(10, 2, 10, 18, 9, true);
  EXPECT_EQ(b.Pixel(10, 18), 9u);
  b.Line(5, -10, 5, 100, 3, true);  // clipped, no stray writes
  EXPECT_EQ(b.Pixel(5, 0), 3u);
  EXPECT_EQ(b.Pixel(5, 19), 3u);
  b.Clear();
  b.Line(0, 0, 4, 2, 1, true);
  EXPECT_EQ(b.Pixel(0, 0), 1u);
  EXPECT_EQ(b.Pixel(4, 2), 1u);
  EXPECT_EQ(b.Pixel(2, 1), 1u);
}

TEST(Surface, FillRectClipsAtEveryEdge) {
  for (int32_t x1 = -3; x1 <= 6; x1 += 3)
    for (int32_t y1 = -3; y1 <= 5; y1 += 4) {
      TBitmap32 b(5, 4);
      b.FillRect(x1, y1, x1 + 4, y1 + 5, 0xAB);
      for (int32_t y = 0; y < 4; ++y)
        for (int32_t x = 0; x < 5; ++x) {
          const bool inside = x >= x1 && x < x1 + 4 && y >= y1 && y < y1 + 5;
          ASSERT_EQ(b.Pixel(x, y), inside ? 0xABu : 0u);
        }
    }
}

// Draw stated pixel by pixel.
void DrawNaive(TBitmap32& dst, int32_t dx, int32_t dy, const TRect& r, const TBitmap32& src) {
  for (int32_t y = r.Top; y < r.Bottom; ++y)
    for (int32_t x = r.Left; x < r.Right; ++x) {
      const int32_t tx = dx + x - r.Left, ty = dy + y - r.Top;
      if (x < 0 || y < 0 || x >= src.Width() || y >= src.Height()) continue;
      if (tx < 0 || ty < 0 || tx >= dst.Width() || ty >= dst.Height()) continue;
      dst.Pixel(tx, ty) = src.PutPixel(src.Pixel(x, y), dst.Pixel(tx, ty));
    }
}

TEST(Surface, DrawClipsSourceAndDestinationAtEveryEdge) {
  std::mt19937 rng(11);
  TBitmap32 src(9, 7);
  FillRandom(src, rng);
  TBitmap32 base(12, 10);
  FillRandom(base, rng);
  const TRect rects[] = {{0, 0, 9, 7}, {-2, -3, 5, 4}, {3, 2, 12, 11}, {4, 4, 4, 6}};
  for (TDrawMode mode : {dmOpaque, dmBlend})
    for (const TRect& r : rects)
      for (int32_t dy = -9; dy <= 12; dy += 3)
        for (int32_t dx = -10; dx <= 13; dx += 3) {
          src.DrawMode = mode;
          TBitmap32 fast = base, naive = base;
          fast.Draw(dx, dy, r, src);
          DrawNaive(naive, dx, dy, r, src);
          ASSERT_EQ(std::vector<TColor32>(fast.Bits(), fast.Bits() + 120),
                    std::vector<TColor32>(naive.Bits(), naive.Bits() + 120))
              << mode << " rect " << r.Left << "," << r.Top << " at " << dx << "," << dy;
        }
  TBitmap32 viaDrawTo = base, viaDraw = base;
  src.DrawTo(viaDrawTo, -1, 4);
  viaDraw.Draw(-1, 4, src);
  EXPECT_EQ(std::vector<TColor32>(viaDrawTo.Bits(), viaDrawTo.Bits() + 120),
            std::vector<TColor32>(viaDraw.Bits(), viaDraw.Bits() + 120));
}

TEST(Surface, PutPixelByDrawMode) {
  TBitmap32 s;
  EXPECT_EQ(s.PutPixel(0x00FFFFFFu, 0xFF000000u), 0x00FFFFFFu);  // dmOpaque copies all four channels
  s.DrawMode = dmTransparent;
  s.OuterColor = 0xFF00FF00u;
  EXPECT_EQ(s.PutPixel(0xFF00FF00u, 0x12u), 0x12u);
  EXPECT_EQ(s.PutPixel(0xFF00FF01u, 0x12u), 0xFF00FF01u);
  s.DrawMode = dmBlend;
  s.MasterAlpha = 0;
  EXPECT_EQ(s.PutPixel(0xFFFFFFFFu, 0x12u), 0x12u);
  s.MasterAlpha = 255;
  s.CombineMode = cmMerge;
  EXPECT_EQ(s.PutPixel(0x80FF0000u, 0), 0x80FF0000u);  // merge onto nothing keeps the colour
  EXPECT_EQ(s.PutPixel(0x80FF0000u, 0xFF0000FFu), 0xFF80007Fu);
  s.DrawMode = dmCustom;
  s.OnPixelCombine = [](TColor32 f, TColor32& b, uint8_t) { b ^= f; };
  EXPECT_EQ(s.PutPixel(0x0Fu, 0xF0u), 0xFFu);
}

TEST(Surface, Rgb24TakesColoursAndClips) {
  TBitmap32 b(2, 2);
  b.Pixel(0, 0) = 0x00102030u;
  b.Pixel(1, 0) = 0xFF405060u;
  b.Pixel(0, 1) = 0x80708090u;
  b.Pixel(1, 1) = 0x01A0B0C0u;
  EXPECT_EQ(ToRgb24(b), (std::vector<uint8_t>{0x10, 0x20, 0x30, 0x40, 0x50, 0x60, 0x70, 0x80, 0x90, 0xA0, 0xB0, 0xC0}));
  std::vector<uint8_t> pic(3 * 3 * 2, 0xEE);
  DrawToRgb24(b, pic.data(), 3, 2, 9, 2, -1, roBGR);
  EXPECT_EQ(pic, (std::vector<uint8_t>{0xEE, 0xEE, 0xEE, 0xEE, 0xEE, 0xEE, 0x90, 0x80, 0x70,  //
                                       0xEE, 0xEE, 0xEE, 0xEE, 0xEE, 0xEE, 0xEE, 0xEE, 0xEE}));
}

TEST(Surface, WindowColourSwapsRedAndBlue) { EXPECT_EQ(WinColorToColor32(0x00112233u), 0x00332211u); }

}  // namespace
}  // namespace varune
