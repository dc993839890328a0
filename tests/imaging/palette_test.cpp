#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>

#include "imaging/palette.h"

namespace varune {
namespace {

using TRgb = std::array<uint8_t, 3>;

TBitmap32 FromColours(const std::vector<TColor32>& colours, int32_t width) {
  TBitmap32 b(width, static_cast<int32_t>(colours.size()) / width);
  std::copy(colours.begin(), colours.end(), b.Bits());
  return b;
}

// The reduction written the straightforward way, in doubles, with copies
// instead of in-place partitions: what the optimised reducer must agree with.
struct TReferenceReduction {
  struct TCell {
    double R, G, B, N;
    int Cell;
  };
  std::vector<TRgb> Palette;
  std::vector<int> IndexOfCell = std::vector<int>(65536, -1);

  void Split(const std::vector<TCell>& range, int depth) {
    if (range.empty()) return;
    if (depth == 8) {
      double n = 0, r = 0, g = 0, b = 0;
      for (const TCell& c : range) n += c.N, r += c.N * c.R, g += c.N * c.G, b += c.N * c.B;
      for (const TCell& c : range) IndexOfCell[c.Cell] = static_cast<int>(Palette.size());
      auto even = [](double v) { return static_cast<uint8_t>(std::nearbyint(v)); };  // default mode: halves to even
      Palette.push_back({even(r / n), even(g / n), even(b / n)});
      return;
    }
    double n = 0, mr = 0, mg = 0, mb = 0, qr = 0, qg = 0, qb = 0;
    for (const TCell& c : range) {
      n += c.N, mr += c.N * c.R, mg += c.N * c.G, mb += c.N * c.B;
      qr += c.N * c.R * c.R, qg += c.N * c.G * c.G, qb += c.N * c.B * c.B;
    }
    mr /= n, mg /= n, mb /= n;
    const double vr = qr / n - mr * mr, vg = qg / n - mg * mg, vb = qb / n - mb * mb;
    int axis = 1;
    if (3 * vr >= 4 * vg && 3 * vr >= 2 * vb) axis = 0;
    else if (3 * vr > 4 * vg || 2 * vb > 3 * vg) axis = 2;
    const double mean = axis == 0 ? mr : axis == 1 ? mg : mb;
    std::vector<TCell> lower, upper;
    for (const TCell& c : range) ((axis == 0 ? c.R : axis == 1 ? c.G : c.B) <= mean ? lower : upper).push_back(c);
    Split(upper, depth + 1);
    Split(lower, depth + 1);
  }

  explicit TReferenceReduction(const TBitmap32& b) {
    std::vector<std::array<int, 4>> hist(65536);
    std::vector<int> cellOf;
    for (int32_t i = 0; i < b.Width() * b.Height(); ++i) {
      const int r = RedComponent(b.Bits()[i]), g = GreenComponent(b.Bits()[i]), bl = BlueComponent(b.Bits()[i]);
      const int c = (r / 8) * 2048 + (g / 4) * 32 + bl / 8;
      hist[c][0] += 1, hist[c][1] += r % 8, hist[c][2] += g % 4, hist[c][3] += bl % 8;
      cellOf.push_back(c);
    }
    std::vector<TCell> cells;
    for (int c = 0; c < 65536; ++c)
      if (const auto& h = hist[c]; h[0] > 0)
        cells.push_back({double((c / 2048) * 8 + h[1] / h[0]), double(((c / 32) % 64) * 4 + h[2] / h[0]),
                         double((c % 32) * 8 + h[3] / h[0]), double(h[0]), c});
    Split(cells, 0);
    for (int c : cellOf) Indices.push_back(static_cast<uint8_t>(IndexOfCell[c]));
  }
  std::vector<uint8_t> Indices;
};

TEST(Palette, OneColourKeepsItsRepresentative) {
  const TPaletteImage p = ReducePalette(FromColours(std::vector<TColor32>(12, Color32(200, 100, 50)), 4));
  EXPECT_EQ(p.Width, 4);
  EXPECT_EQ(p.Height, 3);
  EXPECT_EQ(p.Palette, (std::vector<TRgb>{{200, 100, 50}}));
  EXPECT_EQ(p.Indices, std::vector<uint8_t>(12, 0));
}

TEST(Palette, ColoursOfOneCellShareTheRepresentative) {
  const TColor32 a = Color32(8, 4, 8), b = Color32(15, 7, 15);
  const TPaletteImage p = ReducePalette(FromColours({a, b, a, a}, 2));
  EXPECT_EQ(p.Palette, (std::vector<TRgb>{{9, 4, 9}}));
  EXPECT_EQ(p.Indices, std::vector<uint8_t>(4, 0));
}

TEST(Palette, UpperPartComesFirst) {
  std::vector<TColor32> colours(8, Color32(0, 0, 0));
  std::fill(colours.begin() + 4, colours.end(), Color32(255, 255, 255));
  const TPaletteImage p = ReducePalette(FromColours(colours, 4));
  EXPECT_EQ(p.Palette, (std::vector<TRgb>{{255, 255, 255}, {0, 0, 0}}));
  EXPECT_EQ(p.Indices, (std::vector<uint8_t>{1, 1, 1, 1, 0, 0, 0, 0}));
}

TEST(Palette, LeafMeansRoundHalvesToEven) {
  // Along red only, each level peels the heaviest top value into the upper
  // part until depth 8 reaches the pair 0 and 9: their mean 4.5 becomes 4.
  const std::vector<std::pair<uint8_t, int>> runs = {{0, 1},   {9, 1},    {39, 1},   {69, 3},  {99, 6},
                                                     {129, 12}, {159, 24}, {189, 48}, {219, 96}, {249, 192}};
  std::vector<TColor32> colours;
  for (auto [red, count] : runs) colours.insert(colours.end(), count, Color32(red, 0, 0));
  const TPaletteImage p = ReducePalette(FromColours(colours, 1));
  ASSERT_EQ(p.Palette.size(), 9u);
  EXPECT_EQ(p.Palette[0], (TRgb{249, 0, 0}));
  EXPECT_EQ(p.Palette[7], (TRgb{39, 0, 0}));
  EXPECT_EQ(p.Palette[8], (TRgb{4, 0, 0}));
  EXPECT_EQ(p.Indices[0], 8);
  EXPECT_EQ(p.Indices[1], 8);
}

TEST(Palette, ManyCellsAgreeWithTheStraightforwardReduction) {
  std::mt19937 rng(5);
  TPaletteReducer reducer;  // reused: each frame must start from a clean histogram
  for (int frame = 0; frame < 4; ++frame) {
    TBitmap32 b(120, 90);
    for (int32_t y = 0; y < b.Height(); ++y)
      for (int32_t x = 0; x < b.Width(); ++x)
        b.Pixel(x, y) = frame % 2 ? (rng() | 0xFF000000u)
                                  : Color32(static_cast<uint8_t>(x * 2 + rng() % 9), static_cast<uint8_t>(y * 2),
                                            static_cast<uint8_t>(rng() % 40 + frame * 50), static_cast<uint8_t>(rng()));
    const TPaletteImage p = reducer.Reduce(b);
    const TReferenceReduction expected(b);
    EXPECT_LE(p.Palette.size(), 256u);
    EXPECT_GT(p.Palette.size(), 200u);
    EXPECT_EQ(p.Palette, expected.Palette) << "frame " << frame;
    EXPECT_EQ(p.Indices, expected.Indices) << "frame " << frame;
  }
  EXPECT_EQ(reducer.Reduce(TBitmap32()).Palette.size(), 0u);
}

}  // namespace
}  // namespace varune
