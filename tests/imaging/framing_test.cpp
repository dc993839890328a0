#include <gtest/gtest.h>

#include <cstring>

#include "imaging/framing.h"

namespace varune {
namespace {

TBitmap32 Numbered(int32_t width, int32_t height) {
  TBitmap32 picture(width, height);
  for (int32_t y = 0; y < height; ++y)
    for (int32_t x = 0; x < width; ++x) picture.Pixel(x, y) = 0xFF000000u | static_cast<TColor32>(y * 16 + x);
  return picture;
}

TEST(FramingTest, EnlargeAndFlipMoveEveryPixelExactly) {
  const TBitmap32 source = Numbered(3, 2);
  TBitmap32 big;
  Enlarge(source, 3, big);
  ASSERT_EQ(big.Width(), 9);
  ASSERT_EQ(big.Height(), 6);
  for (int32_t y = 0; y < 6; ++y)
    for (int32_t x = 0; x < 9; ++x) EXPECT_EQ(big.Pixel(x, y), source.Pixel(x / 3, y / 3)) << x << "," << y;

  TBitmap32 mirrored = source;
  FlipHorizontally(mirrored);
  for (int32_t y = 0; y < 2; ++y)
    for (int32_t x = 0; x < 3; ++x) EXPECT_EQ(mirrored.Pixel(x, y), source.Pixel(2 - x, y));
}

TEST(FramingTest, ZoomKeepsItsPointAndBlocksOfOneSize) {
  const TBitmap32 source = Numbered(7, 5);
  TBitmap32 zoomed;
  ZoomAbout(source, 3, 4, 2, zoomed);
  ASSERT_EQ(zoomed.Width(), 7);
  ASSERT_EQ(zoomed.Height(), 5);
  // Columns 1-3 show column 3, 4-6 column 4, 0 column 2; rows the same way about row 2.
  const int32_t columns[] = {2, 3, 3, 3, 4, 4, 4};
  const int32_t rows[] = {1, 1, 2, 2, 2};
  for (int32_t y = 0; y < 5; ++y)
    for (int32_t x = 0; x < 7; ++x) EXPECT_EQ(zoomed.Pixel(x, y), source.Pixel(columns[x], rows[y])) << x << "," << y;
  ZoomAbout(source, 1, 4, 2, zoomed);
  EXPECT_EQ(std::memcmp(zoomed.Bits(), source.Bits(), 7 * 5 * 4), 0);
}

TEST(FramingTest, BoundsAndCutOutWithItsMargin) {
  TBitmap32 background(6, 5);
  background.Clear(0xFF0000FF);
  TBitmap32 picture = background;
  EXPECT_TRUE(DifferenceBounds(picture, background).Empty());
  EXPECT_TRUE(VisibleBounds(TBitmap32(4, 4)).Empty());
  picture.Pixel(1, 1) = 0xFF00FF00;
  picture.Pixel(3, 2) = 0xFFFF0000;
  const TRect box = DifferenceBounds(picture, background);
  EXPECT_EQ(box, (TRect{1, 1, 4, 3}));
  EXPECT_EQ(UnionRect(box, TRect{0, 4, 1, 5}), (TRect{0, 1, 4, 5}));
  EXPECT_EQ(UnionRect(TRect{}, box), box);

  // Two pixels of padding: one row of the margin above the box, one beyond the picture's edge.
  TBitmap32 cut;
  CutOut(picture, box, 2, &background, 0xFFFFFFFF, cut);
  ASSERT_EQ(cut.Width(), 7);
  ASSERT_EQ(cut.Height(), 6);
  EXPECT_EQ(cut.Pixel(2, 2), 0xFF00FF00u);
  EXPECT_EQ(cut.Pixel(4, 3), 0xFFFF0000u);
  EXPECT_EQ(cut.Pixel(1, 1), 0xFF0000FFu);  // (0, 0) of the picture: its margin
  EXPECT_EQ(cut.Pixel(0, 0), 0xFFFFFFFFu);  // (-1, -1): outside
  CutOut(picture, box, 1, nullptr, 0, cut);
  EXPECT_EQ(cut.Pixel(0, 0), 0u);
  EXPECT_EQ(cut.Pixel(1, 1), 0xFF00FF00u);
}

}  // namespace
}  // namespace varune
