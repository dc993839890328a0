#include <gtest/gtest.h>

#include "archive/error.h"
#include "imaging/bmp.h"

namespace varune {
namespace {

void Put16(std::vector<uint8_t>& out, uint32_t v) {
  out.push_back(static_cast<uint8_t>(v));
  out.push_back(static_cast<uint8_t>(v >> 8));
}
void Put32(std::vector<uint8_t>& out, uint32_t v) {
  for (int i = 0; i < 4; ++i) out.push_back(static_cast<uint8_t>(v >> (8 * i)));
}
uint32_t Get32(const std::vector<uint8_t>& b, size_t at) {
  return b[at] | b[at + 1] << 8 | b[at + 2] << 16 | static_cast<uint32_t>(b[at + 3]) << 24;
}

// A BMP file built by hand. Rows are given top first as packed pixel bytes
// without padding; the builder pads them and orders them by the sign of height.
struct TBmpSpec {
  int32_t Width = 0;
  int32_t Height = 0;  // negative: top-down
  uint16_t BitCount = 24;
  uint32_t HeaderSize = 40;
  uint32_t Compression = 0;
  std::vector<uint32_t> Masks;   // V4/V5: in the header; info header: after it
  std::vector<uint32_t> Palette;  // 0x00RRGGBB
  std::vector<std::vector<uint8_t>> Rows;
};

std::vector<uint8_t> BuildBmp(const TBmpSpec& spec) {
  std::vector<uint8_t> header;
  Put32(header, spec.HeaderSize);
  Put32(header, static_cast<uint32_t>(spec.Width));
  Put32(header, static_cast<uint32_t>(spec.Height));
  Put16(header, 1);
  Put16(header, spec.BitCount);
  Put32(header, spec.Compression);
  for (int i = 0; i < 3; ++i) Put32(header, 0);
  Put32(header, static_cast<uint32_t>(spec.Palette.size()));
  Put32(header, 0);
  std::vector<uint8_t> tables;
  if (spec.HeaderSize > 40)
    for (uint32_t m : spec.Masks) Put32(header, m);
  else
    for (uint32_t m : spec.Masks) Put32(tables, m);
  header.resize(spec.HeaderSize, 0);
  for (uint32_t c : spec.Palette) Put32(tables, c);

  std::vector<uint8_t> pixels;
  const size_t stride = ((static_cast<size_t>(spec.Width) * spec.BitCount + 31) / 32) * 4;
  for (size_t i = 0; i < spec.Rows.size(); ++i) {
    const auto& row = spec.Rows[spec.Height < 0 ? i : spec.Rows.size() - 1 - i];
    pixels.insert(pixels.end(), row.begin(), row.end());
    pixels.resize(pixels.size() + stride - row.size(), 0xEE);  // junk padding must not matter
  }
  std::vector<uint8_t> file{'B', 'M'};
  const uint32_t offset = static_cast<uint32_t>(14 + header.size() + tables.size());
  Put32(file, static_cast<uint32_t>(offset + pixels.size()));
  Put32(file, 0);
  Put32(file, offset);
  file.insert(file.end(), header.begin(), header.end());
  file.insert(file.end(), tables.begin(), tables.end());
  file.insert(file.end(), pixels.begin(), pixels.end());
  return file;
}

TEST(BmpTest, WritesPaddedBottomUp24BitAndReadsItBack) {
  TBitmap32 source(3, 2);
  source.Pixel(0, 0) = Color32(1, 2, 3, 0);  // alpha is dropped
  source.Pixel(2, 0) = Color32(250, 128, 7);
  source.Pixel(1, 1) = Color32(9, 8, 7, 100);
  const std::vector<uint8_t> file = EncodeBmp(source);
  const size_t stride = 12;  // 9 bytes padded
  ASSERT_EQ(file.size(), 54 + 2 * stride);
  EXPECT_EQ(Get32(file, 2), file.size());
  EXPECT_EQ(Get32(file, 10), 54u);
  EXPECT_EQ(Get32(file, 22), 2u);  // positive height: bottom-up
  EXPECT_EQ(file[28], 24);
  // First stored row is the bottom one; pixels are B, G, R.
  EXPECT_EQ(std::vector<uint8_t>(file.begin() + 57, file.begin() + 60), (std::vector<uint8_t>{7, 8, 9}));
  EXPECT_EQ(std::vector<uint8_t>(file.begin() + 54 + stride, file.begin() + 57 + stride),
            (std::vector<uint8_t>{3, 2, 1}));

  const TBitmap32 back = DecodeBmp(file);
  ASSERT_EQ(back.Width(), 3);
  ASSERT_EQ(back.Height(), 2);
  for (int32_t y = 0; y < 2; ++y)
    for (int32_t x = 0; x < 3; ++x) EXPECT_EQ(back.Pixel(x, y), source.Pixel(x, y) | 0xFF000000) << x << "," << y;
  EXPECT_THROW(EncodeBmp(TBitmap32()), Error);
}

TEST(BmpTest, ReadsPaletteDepthsInBothOrientations) {
  const std::vector<uint32_t> palette = {0x000000, 0xFF0000, 0x00FF00, 0x0000FF};
  const std::vector<TColor32> expected = {0xFF000000, 0xFFFF0000, 0xFF00FF00, 0xFF0000FF};
  struct TCase {
    uint16_t Bits;
    std::vector<std::vector<uint8_t>> Rows;  // 9 x 2 pictures of indices (y*9+x) % 4 ... see below
  };
  // Row 0 indices: 1 0 1 0 1 0 1 0 1; row 1: 0 1 0 1 0 1 0 1 0 (1 bit);
  // the 4- and 8-bit cases use 0 1 2 3 0 1 2 3 0 and 3 2 1 0 3 2 1 0 3.
  const std::vector<TCase> cases = {
      {1, {{0xAA, 0x80}, {0x55, 0x00}}},
      {4, {{0x01, 0x23, 0x01, 0x23, 0x00}, {0x32, 0x10, 0x32, 0x10, 0x30}}},
      {8, {{0, 1, 2, 3, 0, 1, 2, 3, 0}, {3, 2, 1, 0, 3, 2, 1, 0, 3}}},
  };
  for (const TCase& c : cases)
    for (int32_t sign : {1, -1}) {
      TBmpSpec spec;
      spec.Width = 9, spec.Height = 2 * sign, spec.BitCount = c.Bits, spec.Rows = c.Rows;
      spec.Palette = c.Bits == 1 ? std::vector<uint32_t>{0x000000, 0xFF0000} : palette;
      const TBitmap32 bitmap = DecodeBmp(BuildBmp(spec));
      ASSERT_EQ(bitmap.Width(), 9);
      ASSERT_EQ(bitmap.Height(), 2);
      for (int32_t x = 0; x < 9; ++x) {
        const int top = c.Bits == 1 ? (x + 1) % 2 : x % 4;
        const int bottom = c.Bits == 1 ? x % 2 : 3 - x % 4;
        EXPECT_EQ(bitmap.Pixel(x, 0), expected[top]) << c.Bits << " bits, x " << x << ", sign " << sign;
        EXPECT_EQ(bitmap.Pixel(x, 1), expected[bottom]) << c.Bits << " bits, x " << x << ", sign " << sign;
      }
    }

  // An index the palette lacks reads as opaque black.
  TBmpSpec spec;
  spec.Width = 2, spec.Height = 1, spec.BitCount = 8, spec.Palette = {0x123456}, spec.Rows = {{0, 7}};
  const TBitmap32 short_palette = DecodeBmp(BuildBmp(spec));
  EXPECT_EQ(short_palette.Pixel(0, 0), 0xFF123456u);
  EXPECT_EQ(short_palette.Pixel(1, 0), 0xFF000000u);
}

TEST(BmpTest, Reads32And16BitWithAndWithoutBitFields) {
  // 32-bit BI_RGB: the fourth byte is ignored, the picture is opaque.
  TBmpSpec spec;
  spec.Width = 2, spec.Height = -2, spec.BitCount = 32;
  spec.Rows = {{1, 2, 3, 0, 4, 5, 6, 0x80}, {7, 8, 9, 0xFF, 10, 11, 12, 0}};
  TBitmap32 bitmap = DecodeBmp(BuildBmp(spec));
  EXPECT_EQ(bitmap.Pixel(0, 0), Color32(3, 2, 1));
  EXPECT_EQ(bitmap.Pixel(1, 0), Color32(6, 5, 4));
  EXPECT_EQ(bitmap.Pixel(1, 1), Color32(12, 11, 10));

  // V5 header with its own masks: red in the low byte, blue in the high one.
  spec.HeaderSize = 124, spec.Compression = 3, spec.Height = 2;
  spec.Masks = {0x000000FF, 0x0000FF00, 0xFF000000, 0};
  bitmap = DecodeBmp(BuildBmp(spec));
  EXPECT_EQ(bitmap.Pixel(0, 0), Color32(1, 2, 0));
  EXPECT_EQ(bitmap.Pixel(1, 0), Color32(4, 5, 0x80));
  EXPECT_EQ(bitmap.Pixel(0, 1), Color32(7, 8, 0xFF));

  // V4 header, and masks after an info header.
  spec.HeaderSize = 108;
  EXPECT_EQ(DecodeBmp(BuildBmp(spec)).Pixel(1, 0), Color32(4, 5, 0x80));
  spec.HeaderSize = 40, spec.Masks.resize(3);
  EXPECT_EQ(DecodeBmp(BuildBmp(spec)).Pixel(1, 0), Color32(4, 5, 0x80));

  // 16-bit: 5-5-5 by default, 5-6-5 through bit fields; short channels are scaled up.
  TBmpSpec low;
  low.Width = 1, low.Height = 1, low.BitCount = 16, low.Rows = {{0x1F, 0x7C, 0, 0}};  // 0x7C1F
  EXPECT_EQ(DecodeBmp(BuildBmp(low)).Pixel(0, 0), Color32(255, 0, 255));
  low.Compression = 3, low.Masks = {0xF800, 0x07E0, 0x001F}, low.Rows = {{0xE0, 0x07, 0, 0}};
  EXPECT_EQ(DecodeBmp(BuildBmp(low)).Pixel(0, 0), Color32(0, 255, 0));
}

TEST(BmpTest, DamagedOrUnsupportedInputGivesErrors) {
  TBmpSpec spec;
  spec.Width = 5, spec.Height = 3, spec.BitCount = 8, spec.Palette = {0, 0xFFFFFF};
  spec.Rows.assign(3, std::vector<uint8_t>(5, 1));
  const std::vector<uint8_t> good = BuildBmp(spec);
  ASSERT_NO_THROW(DecodeBmp(good));
  // The last row may lack its padding; anything shorter fails.
  for (size_t size = 0; size < good.size() - 3; ++size) EXPECT_THROW(DecodeBmp(good.data(), size), Error) << size;

  const auto fails = [](TBmpSpec s) {
    EXPECT_THROW(DecodeBmp(BuildBmp(s)), Error) << s.BitCount << " " << s.Compression << " " << s.Width;
  };
  TBmpSpec s = spec;
  s.Compression = 1;  // RLE8
  fails(s);
  s = spec, s.Compression = 3;  // bit fields on 8 bits
  fails(s);
  s = spec, s.Width = 0, s.Rows.clear();
  fails(s);
  s = spec, s.Width = -5, s.Rows.clear();
  fails(s);
  s = spec, s.BitCount = 2;
  fails(s);
  s = spec, s.HeaderSize = 20;
  fails(s);
  s = spec, s.Width = 20000, s.Rows.clear();
  fails(s);
  s = spec, s.Height = INT32_MIN, s.Rows.clear();
  fails(s);

  std::vector<uint8_t> bad = good;
  bad[10] = 0xF0;  // pixel offset beyond the file
  EXPECT_THROW(DecodeBmp(bad), Error);
  bad = good;
  bad[14] = 0xFF, bad[15] = 0xFF;  // header size beyond the file
  EXPECT_THROW(DecodeBmp(bad), Error);
}

}  // namespace
}  // namespace varune
